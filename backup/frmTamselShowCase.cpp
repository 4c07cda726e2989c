#include "backup/frmTamselShowCase.h"

#include "backup/WindowPrinting.h"
#include "backup/frmAboutCorvex.h"
#include "foundation/LabelClick.h"
#include "foundation/MakerAddresses.h"
#include "foundation/ShellLauncher.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kTwipsPerPixel = 15;
// The picture box: pictures larger than this are cut, never scaled.
constexpr int kPictureWidth = (4500 + kTwipsPerPixel / 2) / kTwipsPerPixel;
constexpr int kPictureHeight = (2800 + kTwipsPerPixel / 2) / kTwipsPerPixel;
// The features panel is this much taller than the picture.
constexpr int kFeaturesExtra = (350 + kTwipsPerPixel / 2) / kTwipsPerPixel;

const QColor kLinkColour(0, 0, 192);
const QColor kUsedLinkColour(255, 0, 0);

// The buttons' short captions, by entry.
const char* const kButtonCaptions[frmTamselShowCase::kEntries] = {"Plandel", "Corvex",  "Ledgerly",  "Tallyhound",
                                                                  "Skimpad", "Fennet",  "Lumiscope", "Wordhive",
                                                                  "Pacer",   "Stowbox", "Main"};

QString page(const char* name) { return MakerWebAddress() + QLatin1String(name); }

}  // namespace

// The pictures live in the backup library, which the program links statically.
static void LoadCatalogPictures() {
    static const bool loaded = [] {
        Q_INIT_RESOURCE(catalog);
        return true;
    }();
    Q_UNUSED(loaded);
}

std::array<CatalogEntry, frmTamselShowCase::kEntries> CatalogContent() {
    return {{
        {QStringLiteral("Plandel"), QStringLiteral("The electronic day planner that remembers what you did"),
         page("plandel.html"),
         QStringLiteral("- Diary, appointments and reminders\n- Month, week and day views\n- Records what your "
                        "other Tamsel programs did each day\n- Prints a pocket planner"),
         QStringLiteral("Plandel keeps your appointments, your to-do list and a diary of your working day in "
                        "one place.\nCorvex writes a note into Plandel after every backup, so you can look back "
                        "and see when each file was saved."),
         QStringLiteral("Shareware  US$ 24.95"), QStringLiteral("Download 1.9 MB")},
        {QStringLiteral("Corvex"), QStringLiteral("Automatic backup of the files you worked on"), page("corvex.html"),
         QStringLiteral("- Backs up every file changed since the last backup\n- Eight folder layouts: by date, "
                        "weekday, week, month and more\n- Runs at log-on, silently if you like\n- Finds and "
                        "restores earlier copies"),
         QStringLiteral("Corvex copies the files you changed from the folders you choose into a backup folder "
                        "of your choice, each time you log on.\nIt keeps a log of every run and lets you find "
                        "and restore any copy it made."),
         QStringLiteral("Freeware"), QStringLiteral("Download 1.2 MB")},
        {QStringLiteral("Ledgerly"), QStringLiteral("A household account book that adds up for you"),
         page("ledgerly.html"),
         QStringLiteral("- Income and spending in categories\n- Monthly and yearly totals\n- Standing orders "
                        "entered for you\n- Exports to comma-separated files"),
         QStringLiteral("Ledgerly is the account book for the kitchen table: type in what came in and what "
                        "went out, and it shows where the money goes.\nNo accounting knowledge needed."),
         QStringLiteral("Shareware  US$ 19.95"), QStringLiteral("Download 2.4 MB")},
        {QStringLiteral("Tallyhound"), QStringLiteral("Timesheets that fill themselves in"), page("tallyhound.html"),
         QStringLiteral("- One click to start and stop a task\n- Weekly timesheets per client\n- Charts of where "
                        "your hours went\n- Invoice lists ready to print"),
         QStringLiteral("Tallyhound sits in the corner of your screen and counts the time you spend on each "
                        "job.\nAt the end of the week your timesheet is already written."),
         QStringLiteral("Shareware  US$ 29.95"), QStringLiteral("Download 1.6 MB")},
        {QStringLiteral("Skimpad"), QStringLiteral("Notes that stay on your desktop"), page("skimpad.html"),
         QStringLiteral("- Coloured notes on the desktop\n- Alarms on any note\n- Notes hide and come back with "
                        "one key\n- Search through every note"),
         QStringLiteral("Skimpad replaces the paper notes around your monitor.\nEach note remembers where you "
                        "left it and can ring at a time you set."),
         QStringLiteral("Freeware"), QStringLiteral("Download 0.6 MB")},
        {QStringLiteral("Fennet"), QStringLiteral("Finds the duplicate files that fill your disk"), page("fennet.html"),
         QStringLiteral("- Compares files by content, not by name\n- Lists duplicates side by side\n- Moves "
                        "extra copies to a folder of your choice\n- Never deletes without asking"),
         QStringLiteral("Fennet searches the folders you name for files with the same content and shows them "
                        "in pairs.\nYou decide which copy stays."),
         QStringLiteral("Shareware  US$ 14.95"), QStringLiteral("Download 0.9 MB")},
        {QStringLiteral("Lumiscope"), QStringLiteral("A fast picture viewer with slide shows"), page("lumiscope.html"),
         QStringLiteral("- Opens all common picture types\n- Thumbnails of a whole folder\n- Slide shows with "
                        "music\n- Rotates and resizes in batches"),
         QStringLiteral("Lumiscope shows a folder of pictures as thumbnails and opens any of them at full size "
                        "in a blink.\nTurn a folder into a slide show with two clicks."),
         QStringLiteral("Shareware  US$ 17.95"), QStringLiteral("Download 2.1 MB")},
        {QStringLiteral("Wordhive"), QStringLiteral("The word puzzle game for the coffee break"), page("wordhive.html"),
         QStringLiteral("- Build words from a honeycomb of letters\n- Three levels and a daily puzzle\n- High "
                        "score table\n- Word lists in five languages"),
         QStringLiteral("Wordhive gives you a honeycomb of letters and a minute on the clock.\nHow many words "
                        "can you find before the bees come home?"),
         QStringLiteral("Freeware"), QStringLiteral("Download 1.1 MB")},
        {QStringLiteral("Pacer"), QStringLiteral("Learn to type with all ten fingers"), page("pacer.html"),
         QStringLiteral("- Lessons from the home row up\n- Shows the keys to press\n- Speed and accuracy "
                        "charts\n- Practice texts of your own"),
         QStringLiteral("Pacer teaches touch typing in short daily lessons and shows your progress after each "
                        "one.\nMost users type twice as fast within a month."),
         QStringLiteral("Shareware  US$ 12.95"), QStringLiteral("Download 1.4 MB")},
        {QStringLiteral("Stowbox"), QStringLiteral("An address book with labels and letters"), page("stowbox.html"),
         QStringLiteral("- Addresses, phone numbers and birthdays\n- Prints labels and envelopes\n- Groups for "
                        "family, friends and work\n- Birthday reminders"),
         QStringLiteral("Stowbox keeps your addresses and prints them on labels, envelopes and lists.\nIt "
                        "reminds you of birthdays a week ahead."),
         QStringLiteral("Shareware  US$ 16.95"), QStringLiteral("Download 1.0 MB")},
        {QStringLiteral("Welcome"), QStringLiteral("Software for your desk from Tamsel Softwares"), page("index.html"),
         QStringLiteral("- Small programs that do one job well\n- Free updates for registered users\n- "
                        "Answers to every e-mail\n- Try before you buy"),
         QStringLiteral("Tamsel Softwares writes small, friendly programs for the home and the office: "
                        "planners, backups, organisers and games.\nPick a product from the buttons above to "
                        "read about it.\n\nTamsel Softwares\nE-mail: support@example.com\nWeb: "
                        "https://www.example.com/tamsel/"),
         QString(), QString()},
    }};
}

frmTamselShowCase::frmTamselShowCase(QWidget* parent) : QDialog(parent) {
    LoadCatalogPictures();
    setObjectName(QStringLiteral("frmTamselShowCase"));

    menuBar = new QMenuBar(this);
    mnuFile = menuBar->addMenu(QStringLiteral("&File"));
    mnuFilePrint = mnuFile->addAction(QStringLiteral("Print this page"));
    mnuFilePrint->setObjectName(QStringLiteral("mnuFilePrint"));
    mnuFileDummy = mnuFile->addSeparator();
    mnuFileDummy->setObjectName(QStringLiteral("mnuFileDummy"));
    mnuFileExit = mnuFile->addAction(QStringLiteral("Close this Window"));
    mnuFileExit->setObjectName(QStringLiteral("mnuFileExit"));
    mnuHelp = menuBar->addMenu(QStringLiteral("&Help"));
    mnuHelpAbout = mnuHelp->addAction(QStringLiteral("&About this Catalog Program"));
    mnuHelpAbout->setObjectName(QStringLiteral("mnuHelpAbout"));

    // The buttons along the top, the welcome page's at the left.
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(2);
    // Made in the order shown, the welcome page's first, so Tab goes along the row.
    for (int k = 0; k < kEntries; ++k) {
        const int i = (k + kWelcome) % kEntries;
        const QString picture = QStringLiteral(":/catalog/entry%1.png").arg(i, 2, 10, QLatin1Char('0'));
        cmdProduct[i] = new QToolButton(this);
        cmdProduct[i]->setObjectName(QStringLiteral("cmdProduct_%1").arg(i));
        cmdProduct[i]->setText(QString::fromLatin1(kButtonCaptions[i]));
        cmdProduct[i]->setIcon(QIcon(picture));
        cmdProduct[i]->setIconSize(QSize(48, 30));
        cmdProduct[i]->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        cmdProduct[i]->setAutoRaise(false);
        connect(cmdProduct[i], &QToolButton::clicked, this, [this, i] { cmdProduct_Click(i); });

        imageScreen[i] = new QLabel(this);
        imageScreen[i]->setObjectName(QStringLiteral("imageScreen_%1").arg(i));
        imageScreen[i]->setPixmap(QPixmap(picture));
        imageScreen[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        imageScreen[i]->hide();
    }
    buttonRow->addWidget(cmdProduct[kWelcome]);
    for (int i = 0; i < kWelcome; ++i) buttonRow->addWidget(cmdProduct[i]);
    buttonRow->addStretch(1);

    lblHeading = new QLabel(this);
    lblHeading->setObjectName(QStringLiteral("lblHeading"));
    QFont heading = lblHeading->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.5);
    lblHeading->setFont(heading);
    lblCost = new QLabel(this);
    lblCost->setObjectName(QStringLiteral("lblCost"));
    lblSize = new QLabel(this);
    lblSize->setObjectName(QStringLiteral("lblSize"));
    cmdOptions[0] = new QPushButton(QStringLiteral("Download"), this);
    cmdOptions[0]->setObjectName(QStringLiteral("cmdOptions_0"));
    lblDescription = new QLabel(QStringLiteral("1 line description"), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    lblURL = new QLabel(this);
    lblURL->setObjectName(QStringLiteral("lblURL"));
    lblURL->setTextFormat(Qt::PlainText);
    lblURL->setCursor(Qt::PointingHandCursor);
    QFont link = lblURL->font();
    link.setUnderline(true);
    lblURL->setFont(link);
    OnLabelClick(lblURL, [this] { lblURL_Click(); });
    lblFeatures = new QLabel(this);
    lblFeatures->setObjectName(QStringLiteral("lblFeatures"));
    lblFeatures->setTextFormat(Qt::PlainText);
    lblFeatures->setWordWrap(true);
    lblFeatures->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblFeatures->setMargin(6);
    lblFeatures->setAutoFillBackground(true);
    QPalette grey = lblFeatures->palette();
    grey.setColor(QPalette::Window, QColor(224, 224, 224));
    lblFeatures->setPalette(grey);
    lblDetails = new QPlainTextEdit(this);
    lblDetails->setObjectName(QStringLiteral("lblDetails"));
    lblDetails->setReadOnly(true);
    lblDetails->setMinimumHeight(lblDetails->fontMetrics().lineSpacing() * 3);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFixedWidth(6);
    Label1->setAutoFillBackground(true);
    QPalette band = Label1->palette();
    band.setColor(QPalette::Window, QColor(0, 64, 128));
    Label1->setPalette(band);

    for (QLabel* l : {lblHeading, lblDescription, lblCost, lblSize}) l->setTextFormat(Qt::PlainText);

    // Heading with price, size and Download at its right; the description and
    // the line below; then the picture with the link and features beside it,
    // and the details below, filling the rest of the window.
    auto* headingRow = new QHBoxLayout;
    headingRow->addWidget(lblHeading, 1);
    headingRow->addWidget(lblCost);
    headingRow->addSpacing(12);
    headingRow->addWidget(lblSize);
    headingRow->addSpacing(12);
    headingRow->addWidget(cmdOptions[0]);

    auto* pictureColumn = new QVBoxLayout;
    for (QLabel* picture : imageScreen) pictureColumn->addWidget(picture);
    pictureColumn->addStretch(1);
    auto* linkColumn = new QVBoxLayout;
    linkColumn->addWidget(lblURL);
    linkColumn->addWidget(lblFeatures);
    linkColumn->addStretch(1);

    auto* content = new QGridLayout;
    content->setHorizontalSpacing(16);
    content->addLayout(headingRow, 0, 0, 1, 2);
    content->addWidget(lblDescription, 1, 0, 1, 2);
    content->addWidget(Line1, 2, 0, 1, 2);
    content->addLayout(pictureColumn, 3, 0);
    content->addLayout(linkColumn, 3, 1);
    content->addWidget(lblDetails, 4, 0, 1, 2);
    content->setColumnStretch(1, 1);
    content->setRowStretch(4, 1);

    auto* body = new QHBoxLayout;
    body->addWidget(Label1);
    body->addLayout(content, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addLayout(buttonRow);
    layout->addLayout(body, 1);

    connect(cmdOptions[0], &QPushButton::clicked, this, [this] { cmdOptions_Click(0); });
    connect(mnuFilePrint, &QAction::triggered, this, &frmTamselShowCase::mnuFilePrint_Click);
    connect(mnuFileExit, &QAction::triggered, this, &frmTamselShowCase::mnuFileExit_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &frmTamselShowCase::mnuHelpAbout_Click);

    resize(980, 640);
}

void frmTamselShowCase::Form_Load() {
    setWindowTitle(QStringLiteral("Catalog v%1.%2  [Tamsel Softwares Products]")
                       .arg(CORVEX_VERSION_MAJOR)
                       .arg(CORVEX_VERSION_MINOR));
    const auto content = CatalogContent();
    for (int i = 0; i < kEntries; ++i) m_entries[size_t(i)] = content[size_t(i)];
    cmdProduct_Click(kWelcome);
    platform::SetPointer(platform::Pointer::Default);
}

void frmTamselShowCase::cmdProduct_Click(int index) {
    if (index < 0 || index >= kEntries) return;  // only the buttons' entries have a picture
    for (int j = 0; j < kEntries; ++j) {
        QFont f = cmdProduct[j]->font();
        f.setBold(false);
        cmdProduct[j]->setFont(f);
        imageScreen[j]->hide();
    }
    SetLabelTextColour(lblURL, kLinkColour);

    // The picture is shown unscaled; a larger one is cut to the picture box.
    QLabel* picture = imageScreen[index];
    const QSize full = picture->pixmap().size();
    picture->setFixedSize(qMin(full.width(), kPictureWidth), qMin(full.height(), kPictureHeight));
    picture->show();
    QFont bold = cmdProduct[index]->font();
    bold.setBold(true);
    cmdProduct[index]->setFont(bold);
    lblFeatures->setMinimumHeight(picture->height() + kFeaturesExtra);

    const CatalogEntry& entry = m_entries[size_t(index)];
    lblHeading->setText(entry.heading);
    lblDescription->setText(entry.description);
    lblURL->setText(entry.webPage);
    lblCost->setText(entry.price);
    lblSize->setText(entry.size);
    lblFeatures->setText(entry.features);
    lblDetails->setPlainText(entry.details);
    cmdOptions[0]->setToolTip(lblURL->text());
    m_current = index;
}

void frmTamselShowCase::cmdOptions_Click(int index) {
    if (index != 0) return;
    LaunchFile(lblURL->text());
    SetLabelTextColour(lblURL, kUsedLinkColour);
}

void frmTamselShowCase::lblURL_Click() {
    platform::SetPointer(platform::Pointer::Hourglass);
    SetLabelTextColour(lblURL, kUsedLinkColour);
    LaunchFile(lblURL->text());
    platform::SetPointer(platform::Pointer::Default);
}

void frmTamselShowCase::mnuFilePrint_Click() {
    if (const auto failure = PrintWindowImage(this)) {
        platform::MsgBox(QStringLiteral("There was a problem printing the page\r\nErr# ") +
                             QString::number(failure->number) + QStringLiteral(" = ") + failure->description,
                         platform::Buttons::OK, platform::Icon::Critical,
                         QStringLiteral("An Error occurred while trying to print this page"));
    }
}

void frmTamselShowCase::mnuFileExit_Click() { accept(); }

void frmTamselShowCase::mnuHelpAbout_Click() {
    platform::MsgBox(QStringLiteral("Tamsel Softwares Catalog was last updated on April 28th, 2003"),
                     platform::Buttons::OK, platform::Icon::Information, QStringLiteral("About this Catalog"));
}

void ShowTamselShowCase(QWidget* owner) {
    frmTamselShowCase catalog(owner);
    catalog.Form_Load();
    catalog.exec();
}
