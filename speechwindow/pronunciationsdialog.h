#pragma once

#include "listening/pronunciation.h"
#include "platform/filedialogs.h"
#include "platform/platformservices.h"

#include <QDialog>
#include <QList>

class QPushButton;
class QTableWidget;

// The pronunciation list as a table the user edits, imports into and exports. OK keeps it only
// when every entry can be used.
class PronunciationsDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PronunciationsDialog)

public:
    enum Column
    {
        WrittenColumn,
        SpokenColumn,
        CaseSensitiveColumn,
        RegularExpressionColumn,
        LanguageColumn,
        ColumnCount
    };

    PronunciationsDialog(const QList<Pronunciation> &entries, const PlatformServices &services,
                         QWidget *parent = nullptr);

    // As the table holds them now.
    [[nodiscard]] QList<Pronunciation> entries() const;

    QTableWidget *table = nullptr;
    QPushButton *add = nullptr;
    QPushButton *remove = nullptr;
    QPushButton *importButton = nullptr;
    QPushButton *exportButton = nullptr;

    void add_Click();
    void remove_Click();
    void import_Click();
    void export_Click();
    void accept() override;

private:
    void appendRow(const Pronunciation &entry);
    // The first entry that cannot be used, named by its row; empty when all can.
    [[nodiscard]] QString problem() const;
    void showMessage(const QString &text);

    PlatformServices m_services;
    CommonDialog m_fileDialog;
};
