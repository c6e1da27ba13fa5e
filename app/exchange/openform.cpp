#include "app/exchange/openform.h"

#include "app/common/kezdo.h"
#include "app/common/programinfo.h"
#include "app/exchange/perioddialog.h"
#include "platform/sys/files.h"
#include "platform/ui/controls.h"
#include "platform/ui/msgbox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>

namespace {

QPointer<openform> g_current;

// How often a drive that answers "file not found" or "permission denied" is
// tried again before the clerk is told: a diskette drive may need a moment,
// a lasting error must not hang the window.
constexpr int kDriveTries = 3;

const QString kPattern = QStringLiteral("*.txt");

QChar letterOf(const QString& drive)
{
    return drive.isEmpty() ? QChar() : drive.at(0).toLower();
}

// "C:\" for drive "c:".
QString driveTop(const QString& drive)
{
    return QString(letterOf(drive).toUpper()) + QStringLiteral(":\\");
}

// A folder's path on its drive and a name in it, with one backslash between.
QString joinPath(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('\\')) ? folder + name : folder + QLatin1Char('\\') + name;
}

// The parts of a drive path below the drive's top: "C:\ADAT\X" -> ADAT, X.
QStringList partsOf(const QString& drivePath)
{
    return drivePath.mid(3).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

bool matchesPattern(const QString& name)
{
    static const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(kPattern),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(name).hasMatch();
}

} // namespace

openform* openform::open(kezdo& main, Mode mode, QLineEdit* target)
{
    if (g_current)
        g_current->unload();
    auto* form = new openform(main, mode, target);
    g_current = form;
    form->show();
    form->centre();
    form->raise();
    form->activateWindow();
    return form;
}

openform* openform::current()
{
    return g_current;
}

openform::openform(kezdo& main, Mode mode, QLineEdit* target)
    : platform::LegacyForm(nullptr), m_main(&main), m_target(target), m_mode(mode)
{
    setObjectName(QStringLiteral("openform"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Megnyitás"));
    setupUi();
    // The chooser belongs to its main window and goes with it.
    connect(&main, &QObject::destroyed, this, &QObject::deleteLater);

    // The lists start on the drive of the working folder.
    const QStringList drives = platform::drives();
    QString start = drives.contains(QStringLiteral("c:")) ? QStringLiteral("c:") : drives.value(0);
    const QString here = QDir::currentPath();
    for (const QString& d : drives) {
        const QString folder = platform::driveFolder(letterOf(d));
        if (!folder.isEmpty() && (here == folder || here.startsWith(folder + QLatin1Char('/'))))
            start = d;
    }
    m_filling = true;
    Drive1->addItems(drives);
    Drive1->setCurrentIndex(int(drives.indexOf(start)));
    m_filling = false;
    m_drive = start;
    m_dirPath = currentFolderOf(start);
    m_filePath = m_dirPath;
    fillDirList();
    fillFileList();
    if (mode == Mode::Folder)
        File1->setEnabled(false);
}

openform::~openform() = default;

void openform::setupUi()
{
    resize(470, 300);
    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setGeometry(10, 10, 210, 24);
    Dir1 = new QListWidget(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setGeometry(10, 42, 210, 180);
    File1 = new QListWidget(this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setGeometry(230, 10, 130, 212);
    Command1 = new QPushButton(QStringLiteral("Megnyit"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(370, 10, 90, 30);
    Command2 = new QPushButton(QStringLiteral("Mégse"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(370, 46, 90, 30);
    Label1 = new QLabel(QStringLiteral("Választott elérési út:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(10, 232, 300, 22);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(10, 258, 450, 24);

    connect(Drive1, &QComboBox::currentIndexChanged, this, [this](int) {
        if (!m_filling)
            Drive1_Change();
    });
    // A folder opens on a double-click or Enter, as in the old folder list.
    connect(Dir1, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (item)
            setDirPath(item->data(Qt::UserRole).toString());
    });
    connect(File1, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (!m_filling && item)
            File1_Click();
    });
    connect(File1, &QListWidget::itemClicked, this, [this](QListWidgetItem*) { File1_Click(); });
    events().onClick(Command1, [this] { Command1_Click(); });
    events().onClick(Command2, [this] { Command2_Click(); });
}

QString openform::currentFolderOf(const QString& drive) const
{
    const QString folder = platform::driveFolder(letterOf(drive));
    const QString here = QDir::currentPath();
    if (!folder.isEmpty() && here.startsWith(folder + QLatin1Char('/'))) {
        const QString rel = QDir(folder).relativeFilePath(here);
        return driveTop(drive) + QString(rel).replace(QLatin1Char('/'), QLatin1Char('\\'));
    }
    return driveTop(drive);
}

void openform::fillDirList()
{
    m_filling = true;
    Dir1->clear();
    const QStyle* s = style();
    const QIcon open = s->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = s->standardIcon(QStyle::SP_DirClosedIcon);
    const QString top = m_dirPath.left(3);
    const QStringList parts = partsOf(m_dirPath);
    auto add = [this](const QString& text, const QString& path, int level, const QIcon& icon) {
        auto* item = new QListWidgetItem(icon, QString(level * 2, QLatin1Char(' ')) + text, Dir1);
        item->setData(Qt::UserRole, path);
        return item;
    };
    QListWidgetItem* shown = add(top, top, 0, open);
    QString path = top;
    for (int i = 0; i < parts.size(); ++i) {
        path = joinPath(path, parts[i]);
        shown = add(parts[i], path, i + 1, open);
    }
    QDir dir(platform::mapPath(m_dirPath));
    const QStringList subfolders =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString& name : subfolders)
        add(name, joinPath(m_dirPath, name), int(parts.size()) + 1, closed);
    Dir1->setCurrentItem(shown);
    m_filling = false;
}

void openform::fillFileList()
{
    m_filling = true;
    File1->clear();
    QDir dir(platform::mapPath(m_filePath));
    QStringList names = dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString& name : names)
        if (matchesPattern(name))
            File1->addItem(name);
    File1->setCurrentRow(-1);
    m_filling = false;
}

void openform::setDirPath(const QString& drivePath)
{
    if (drivePath == m_dirPath)
        return;
    m_dirPath = drivePath;
    fillDirList();
    Dir1_Change();
}

void openform::chooseDrive(const QString& drive)
{
    const int index = Drive1->findText(drive, Qt::MatchFixedString);
    if (index >= 0)
        Drive1->setCurrentIndex(index);
}

bool openform::clickFile(const QString& name)
{
    const QList<QListWidgetItem*> hits = File1->findItems(name, Qt::MatchFixedString);
    if (hits.isEmpty() || !File1->isEnabled())
        return false;
    File1->setCurrentItem(hits.front());
    return true;
}

// ---- handlers ----

void openform::Form_Activate()
{
    Text1->clear();
    setDirPath(currentFolderOf(m_drive));
    m_filePath = m_dirPath;
    fillFileList();
}

int openform::tryDrive(const QString& drive)
{
    const QString folder = platform::driveFolder(letterOf(drive));
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return platform::fileerr::DeviceUnavailable;
    QString start = currentFolderOf(drive);
    QFileInfo info(platform::mapPath(start));
    if (!info.isDir()) {
        start = driveTop(drive);
        info.setFile(folder);
    }
    if (!info.isReadable() || !info.isExecutable())
        return platform::fileerr::PermissionDenied;
    m_drive = drive;
    setDirPath(start);
    return 0;
}

void openform::Drive1_Change()
{
    const QString drive = Drive1->currentText();
    int error = 0;
    for (int attempt = 0; attempt < kDriveTries; ++attempt) {
        error = tryDrive(drive);
        if (error != platform::fileerr::FileNotFound && error != platform::fileerr::PermissionDenied)
            break;
        QCoreApplication::processEvents();
    }
    if (error == 0)
        return;
    // The drive list goes back to the drive the lists still show, so that
    // choosing the drive again (a diskette put in meanwhile) tries again.
    m_filling = true;
    Drive1->setCurrentIndex(Drive1->findText(m_drive, Qt::MatchFixedString));
    m_filling = false;
    if (error == platform::fileerr::DeviceUnavailable) {
        platform::msgBox(QStringLiteral("Nincs floppy!"), platform::Critical, QStringLiteral("Hiba"));
    } else if (error != platform::fileerr::PathFileAccess) {
        platform::msgBox(QStringLiteral("Hiba történt.A hibakód: %1 Tájékoztassa a rendszergazdát!").arg(error),
                         platform::Critical, QStringLiteral("Hiba"));
    }
}

void openform::Dir1_Change()
{
    m_filePath = m_dirPath;
    fillFileList();
    Text1->setText(m_dirPath);
}

void openform::File1_Click()
{
    QListWidgetItem* item = File1->currentItem();
    if (!item)
        return;
    Text1->setText(joinPath(m_filePath, item->text()));
}

void openform::Command1_Click()
{
    if (m_target)
        m_target->setText(Text1->text());
    // The ward program shows the chosen drive at once. A path without a
    // drive letter leaves the lines as they were; a drive that cannot be
    // measured shows its name only.
    kezdo* main = m_main;
    if (main && main->program().chooserShowsDrive && !platform::driveName(Text1->text()).isEmpty()) {
        const exchange::DriveLines lines = exchange::driveLines(Text1->text());
        main->Label21->setText(lines.drive);
        main->Label22->setText(lines.total);
        main->Label23->setText(lines.free);
    }
    unload();
}

void openform::Command2_Click()
{
    unload();
}

void openform::Form_Unload(int& cancel)
{
    Q_UNUSED(cancel);
    // "Megnyit", "Mégse" and the close box all give the main window back.
    kezdo* main = m_main;
    if (!main)
        return;
    for (QWidget* w : {static_cast<QWidget*>(main->SSCommand11), static_cast<QWidget*>(main->SSCommand12),
                       static_cast<QWidget*>(main->SSCommand13)})
        w->setEnabled(true);
    main->comeBack();
}
