#include "speechwindow/pronunciationsdialog.h"

#include "listening/pronunciationlist.h"
#include "platform/applicationtitle.h"
#include "platform/messagebox.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString ListFilter = QStringLiteral("Text file (*.txt)|*.txt");

QTableWidgetItem *checkItem(bool checked)
{
    auto *item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

QPushButton *button(const QString &caption, const QString &name, QWidget *parent)
{
    auto *pushButton = new QPushButton(caption, parent);
    pushButton->setAccessibleName(name);
    pushButton->setAutoDefault(false); // Enter in the table finishes the dialog, not an Add
    return pushButton;
}

} // namespace

PronunciationsDialog::PronunciationsDialog(const QList<Pronunciation> &entries,
                                           const PlatformServices &services, QWidget *parent)
    : QDialog(parent), m_services(services)
{
    setWindowTitle(QStringLiteral("Pronunciations - ") + applicationTitle());
    table = new QTableWidget(0, ColumnCount, this);
    table->setObjectName(QStringLiteral("Pronunciations"));
    table->setAccessibleName(QStringLiteral("Pronunciations"));
    table->setHorizontalHeaderLabels({QStringLiteral("Written"), QStringLiteral("Spoken"),
                                      QStringLiteral("Match case"), QStringLiteral("Regular expression"),
                                      QStringLiteral("Language")});
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(WrittenColumn, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(SpokenColumn, QHeaderView::Stretch);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab leaves the table for the buttons; the arrow keys move between its cells.
    table->setTabKeyNavigation(false);
    for (const Pronunciation &entry : entries)
        appendRow(entry);
    if (table->rowCount() > 0)
        table->setCurrentCell(0, WrittenColumn);

    add = button(QStringLiteral("&Add"), QStringLiteral("Add"), this);
    remove = button(QStringLiteral("&Remove"), QStringLiteral("Remove"), this);
    importButton = button(QStringLiteral("&Import..."), QStringLiteral("Import..."), this);
    exportButton = button(QStringLiteral("&Export..."), QStringLiteral("Export..."), this);
    connect(add, &QPushButton::clicked, this, &PronunciationsDialog::add_Click);
    connect(remove, &QPushButton::clicked, this, &PronunciationsDialog::remove_Click);
    connect(importButton, &QPushButton::clicked, this, &PronunciationsDialog::import_Click);
    connect(exportButton, &QPushButton::clicked, this, &PronunciationsDialog::export_Click);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PronunciationsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *row = new QHBoxLayout;
    for (QPushButton *pushButton : {add, remove, importButton, exportButton})
        row->addWidget(pushButton);
    row->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addLayout(row);
    layout->addWidget(buttons);
    resize(640, 360);
}

void PronunciationsDialog::appendRow(const Pronunciation &entry)
{
    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, WrittenColumn, new QTableWidgetItem(entry.written));
    table->setItem(row, SpokenColumn, new QTableWidgetItem(entry.spoken));
    table->setItem(row, CaseSensitiveColumn, checkItem(entry.caseSensitive));
    table->setItem(row, RegularExpressionColumn, checkItem(entry.regularExpression));
    table->setItem(row, LanguageColumn, new QTableWidgetItem(entry.language));
}

QList<Pronunciation> PronunciationsDialog::entries() const
{
    const auto text = [this](int row, int column) {
        const QTableWidgetItem *item = table->item(row, column);
        return item != nullptr ? item->text() : QString();
    };
    const auto checked = [this](int row, int column) {
        const QTableWidgetItem *item = table->item(row, column);
        return item != nullptr && item->checkState() == Qt::Checked;
    };
    QList<Pronunciation> result;
    for (int row = 0; row < table->rowCount(); ++row)
        if (!text(row, WrittenColumn).isEmpty() || !text(row, SpokenColumn).isEmpty()) // rows left blank
            result.append({text(row, WrittenColumn), text(row, SpokenColumn),
                           checked(row, CaseSensitiveColumn), checked(row, RegularExpressionColumn),
                           text(row, LanguageColumn).trimmed()});
    return result;
}

QString PronunciationsDialog::problem() const
{
    const QList<Pronunciation> all = entries();
    for (qsizetype row = 0; row < all.size(); ++row)
        if (const QString problem = PronunciationList::problemOf(all.at(row)); !problem.isEmpty())
            return QStringLiteral("Entry %1: %2").arg(row + 1).arg(problem);
    return {};
}

void PronunciationsDialog::add_Click()
{
    appendRow({});
    table->setCurrentCell(table->rowCount() - 1, WrittenColumn);
    table->setFocus();
    table->editItem(table->currentItem());
}

void PronunciationsDialog::remove_Click()
{
    const int row = table->currentRow();
    if (row < 0)
        return;
    table->removeRow(row);
    if (table->rowCount() > 0)
        table->setCurrentCell(std::min(row, table->rowCount() - 1), WrittenColumn);
    table->setFocus();
}

void PronunciationsDialog::import_Click()
{
    m_fileDialog.Filter = ListFilter;
    if (!m_services.fileDialogs.ShowOpen(this, m_fileDialog))
        return;
    QFile file(m_fileDialog.FileName);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessage(
            QStringLiteral("\"%1\" could not be read: %2").arg(m_fileDialog.FileName, file.errorString()));
        return;
    }
    const PronunciationList::Parsed parsed = PronunciationList::fromText(file.readAll());
    if (!parsed.problem.isEmpty()) {
        showMessage(QStringLiteral("Nothing was imported from \"%1\". %2")
                        .arg(m_fileDialog.FileName, parsed.problem));
        return;
    }
    for (const Pronunciation &entry : parsed.entries)
        appendRow(entry);
}

void PronunciationsDialog::export_Click()
{
    if (const QString found = problem(); !found.isEmpty()) {
        showMessage(found);
        return;
    }
    m_fileDialog.Filter = ListFilter;
    if (!m_services.fileDialogs.ShowSave(this, m_fileDialog))
        return;
    QSaveFile file(m_fileDialog.FileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(PronunciationList::toText(entries())) < 0 ||
        !file.commit())
        showMessage(
            QStringLiteral("\"%1\" could not be written: %2").arg(m_fileDialog.FileName, file.errorString()));
}

void PronunciationsDialog::accept()
{
    if (const QString found = problem(); !found.isEmpty()) {
        showMessage(found);
        return;
    }
    QDialog::accept();
}

void PronunciationsDialog::showMessage(const QString &text)
{
    m_services.messageBox.showMessage(this, text);
}
