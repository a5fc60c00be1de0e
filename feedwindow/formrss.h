#pragma once

#include "feed/itemstore.h"
#include "feed/publishingdetails.h"
#include "platform/filedialogs.h"
#include "platform/platformservices.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class EnclosureSource;
class FeedSource;
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
    QAction *opn = nullptr;          // "&Open feed..."
    QAction *exit = nullptr;
    QAction *add = nullptr;
    QAction *srss = nullptr;
    QAction *details = nullptr;  // "Publishing &details..."
    QAction *episodes = nullptr; // "&Episodes..."

    ItemStore Text7; // the episodes: those of an opened feed, then those added

    CommonDialog dc;
    CommonDialog openDialog;

    void Form_Load();
    void Command2_Click();
    void Command1_Click();
    void add_Click();
    void srss_Click();
    void exit_Click();
    void opn_Click();
    // Opens the details dialog window-modal and returns; OK there sets the details.
    void details_Click();
    // Opens the list of episodes window-modal and returns; changes there are unsaved work.
    void episodes_Click();

    // Set once the user has given them (or an opened feed had them): saving then adds what
    // directories require.
    [[nodiscard]] const std::optional<PublishingDetails> &publishingDetails() const { return m_details; }

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
    [[nodiscard]] ChannelFields channelFields() const;
    // Returns whether the file was written.
    [[nodiscard]] bool saveFeed();
    [[nodiscard]] bool hasUnsavedChanges() const;
    [[nodiscard]] bool hasTypedItem() const;
    // Asks about unsaved work (and, when it counts, an item typed but not added); returns
    // whether the caller may go on and drop it.
    [[nodiscard]] bool mayDropUnsavedWork(const QString &question, bool typedItemCounts);
    void markSaved();
    void showOpenedFeed(std::shared_ptr<const FeedSource> feed, const QString &path);
    void warnAboutFormatOnce(const QString &type);

    PlatformServices m_services;
    const EnclosureSource *m_enclosureSource = nullptr;
    std::optional<PublishingDetails> m_details;
    // What was last saved or opened, to know whether closing would lose anything.
    ChannelFields m_savedChannel;
    std::optional<PublishingDetails> m_savedDetails;
    quint64 m_itemChanges = 0;
    quint64 m_savedItemChanges = 0;
    bool m_warnedAboutFormat = false;
};
