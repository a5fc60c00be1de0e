#include "feedwindow/publishingdetailsdialog.h"

#include "feed/applecategories.h"
#include "feed/soundfilesaddress.h"
#include "platform/applicationtitle.h"
#include "platform/messagebox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QUrl>

PublishingDetailsDialog::PublishingDetailsDialog(MessageBox &messageBox, const PublishingDetails &details,
                                                 QWidget *parent)
    : QDialog(parent), m_messageBox(messageBox), m_before(details)
{
    setWindowTitle(applicationTitle());
    auto *form = new QFormLayout(this);
    const auto lineEdit = [this](const QString &text, const QString &placeholder) {
        auto *field = new QLineEdit(text, this);
        field->setPlaceholderText(placeholder);
        return field;
    };
    language = lineEdit(details.language, QStringLiteral("en, de, pt-BR"));
    artworkUrl = lineEdit(details.artworkUrl, QStringLiteral("https://example.org/artwork.jpg"));
    category = new QComboBox(this);
    category->addItem(QString());
    category->addItems(appleCategories().keys());
    if (category->findText(details.category) < 0)
        category->addItem(details.category);
    category->setCurrentText(details.category);
    subcategory = new QComboBox(this);
    fillSubcategories();
    subcategory->setCurrentText(details.subcategory);
    connect(category, &QComboBox::currentTextChanged, this, &PublishingDetailsDialog::fillSubcategories);
    explicitContent = new QCheckBox(QStringLiteral("E&xplicit content"), this);
    explicitContent->setChecked(details.explicitContent);
    ownerName = lineEdit(details.ownerName, QString());
    ownerEmail = lineEdit(details.ownerEmail, QStringLiteral("podcast@example.org"));
    feedUrl = lineEdit(details.feedUrl, QStringLiteral("https://example.org/feed.xml"));
    soundFilesAddress = lineEdit(::soundFilesAddress(), QStringLiteral("https://example.org/audio/"));

    form->addRow(QStringLiteral("&Language"), language);
    form->addRow(QStringLiteral("&Artwork address"), artworkUrl);
    form->addRow(QStringLiteral("&Category"), category);
    form->addRow(QStringLiteral("&Subcategory"), subcategory);
    form->addRow(QString(), explicitContent);
    form->addRow(QStringLiteral("Owner &name"), ownerName);
    form->addRow(QStringLiteral("Owner &email"), ownerEmail);
    form->addRow(QStringLiteral("&Feed's own address"), feedUrl);
    form->addRow(QStringLiteral("Address of the s&ound files"), soundFilesAddress);
    soundFilesAddress->setAccessibleName(QStringLiteral("Address of the sound files"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PublishingDetailsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PublishingDetailsDialog::reject);
    form->addRow(buttons);
}

void PublishingDetailsDialog::fillSubcategories()
{
    subcategory->clear();
    subcategory->addItem(QString());
    subcategory->addItems(appleCategories().value(category->currentText()));
    if (category->currentText() == m_before.category && subcategory->findText(m_before.subcategory) < 0)
        subcategory->addItem(m_before.subcategory);
    subcategory->setEnabled(subcategory->count() > 1);
}

PublishingDetails PublishingDetailsDialog::details() const
{
    return {language->text().trimmed(),   artworkUrl->text().trimmed(), category->currentText(),
            subcategory->currentText(),   explicitContent->isChecked(), ownerName->text().trimmed(),
            ownerEmail->text().trimmed(), feedUrl->text().trimmed()};
}

void PublishingDetailsDialog::accept()
{
    QString problem = publishingDetailsProblem(details(), m_before);
    const QString address = soundFilesAddress->text().trimmed();
    const QUrl addressUrl(address, QUrl::StrictMode);
    if (problem.isEmpty() && !address.isEmpty() &&
        !((addressUrl.scheme() == u"https" || addressUrl.scheme() == u"http") && !addressUrl.host().isEmpty()))
        problem = QStringLiteral("The address of the sound files must be an http or https address, such as "
                                 "https://example.org/audio/.");
    if (!problem.isEmpty()) {
        m_messageBox.showMessage(this, problem);
        return;
    }
    if (address != ::soundFilesAddress())
        setSoundFilesAddress(address);
    QDialog::accept();
}
