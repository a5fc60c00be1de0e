#pragma once

#include "feed/document/itemstore.h"
#include "feed/hiddentextfield.h"
#include "platform/filedialogs.h"
#include "platform/platformservices.h"

#include <QMainWindow>

class EnclosureSource;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The podcast feed editor: channel and item fields, adding items to the item store and saving
// the whole feed. Each item's enclosure comes from the enclosure source it is given.
class FormRss final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FormRss)

public:
    explicit FormRss(const PlatformServices &services, const EnclosureSource *enclosureSource = nullptr,
                     QWidget *parent = nullptr);
    ~FormRss() override;

    void showCentered();

    // The window's controls, named as the rest of the program knows them.
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QLabel *channelTitleLabel = nullptr;
    QLabel *channelDescriptionLabel = nullptr;
    QLabel *channelAuthorLabel = nullptr;
    QLabel *channelLinkLabel = nullptr;
    QLabel *itemTitleLabel = nullptr;
    QLabel *itemDescriptionLabel = nullptr;
    QLabel *itemLinkLabel = nullptr;
    QLabel *itemDateLabel = nullptr;
    QLineEdit *Text1 = nullptr;      // channel title
    QPlainTextEdit *Text2 = nullptr; // channel description
    QLineEdit *Text12 = nullptr;     // channel author
    QLineEdit *Text3 = nullptr;      // channel link
    QLineEdit *Text5 = nullptr;      // item title
    QPlainTextEdit *Text4 = nullptr; // item description
    QLineEdit *Text6 = nullptr;      // item link
    QLineEdit *Text10 = nullptr;     // item date
    QPushButton *Command2 = nullptr; // "&Add item", the default button
    QPushButton *Command1 = nullptr; // "&Save Rss"
    QAction *exit = nullptr;
    QAction *add = nullptr;
    QAction *srss = nullptr;

    HiddenTextField Text9; // header template
    HiddenTextField Text8; // footer template
    ItemStore Text7;       // item store

    CommonDialog dc;

    void Form_Load();
    void Command2_Click();
    void Command1_Click();
    void add_Click();
    void srss_Click();
    void exit_Click();

Q_SIGNALS:
    // The window is closing; it can be destroyed once the close is done.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createMenu();
    void setTabOrder();
    void Form_QueryUnload();
    void showMessage(const QString &text);

    PlatformServices m_services;
    const EnclosureSource *m_enclosureSource = nullptr;
};
