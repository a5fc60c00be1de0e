#pragma once

#include <QLabel>

// A label styled as a link that acts as one: a click, or Enter or Space while it has the focus,
// reports clicked(); screen readers see a link they can press.
class LinkLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkLabel)

public:
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);

    void click();

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
