// openform, "Megnyitás": picks a path from a drive list, a folder list and a
// file list instead of typing it. The import frame's "Keres" opens it for the
// import file, the period dialog's "Választ" for the export target folder
// (the file list disabled). "Megnyit" writes the chosen path into the box of
// the caller only; "Mégse" and the close box leave it as it was. Either way
// the main window and the import frame's buttons come back.
//
// Drives are those of the drive map (platform/sys/files): paths read
// "C:\ADAT\TLVREC.TXT" and are mapped onto folders where they are used.
// The window is unloaded when it closes, so every opening starts afresh.
#pragma once

#include "platform/ui/legacyform.h"

#include <QPointer>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class kezdo;

class openform : public platform::LegacyForm {
    Q_OBJECT
public:
    enum class Mode { File, Folder };

    // Opens a fresh chooser for the main window, not modal; the chosen path
    // goes into `target` only. A chooser already open is closed first.
    static openform* open(kezdo& main, Mode mode, QLineEdit* target);
    // The chooser open now, or nullptr.
    static openform* current();

    ~openform() override;

    Mode mode() const { return m_mode; }

    // ---- controls ----
    QComboBox* Drive1 = nullptr;   // drives, lower case: "a:", "c:"
    QListWidget* Dir1 = nullptr;   // the folder's ancestors, the folder, its subfolders
    QListWidget* File1 = nullptr;  // files of the folder matching "*.txt" in any case
    QLabel* Label1 = nullptr;      // "Választott elérési út:"
    QLineEdit* Text1 = nullptr;    // the chosen path
    QPushButton* Command1 = nullptr; // "Megnyit"
    QPushButton* Command2 = nullptr; // "Mégse"

    // ---- handlers ----
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void Command1_Click();
    void Command2_Click();

    // The folder the folder list shows ("C:\ADAT", "A:\"), and the one the
    // file list shows.
    QString dirPath() const { return m_dirPath; }
    QString filePath() const { return m_filePath; }
    // Opens a folder in the folder list, as a double-click on it does.
    void setDirPath(const QString& drivePath);
    // Picks the drive as the clerk does in the drive list.
    void chooseDrive(const QString& drive);
    // Clicks a file of the file list by name; false when it is not listed.
    bool clickFile(const QString& name);

protected:
    void Form_Activate() override;
    void Form_Unload(int& cancel) override;

private:
    openform(kezdo& main, Mode mode, QLineEdit* target);
    void setupUi();
    void fillDirList();
    void fillFileList();
    // The folder a drive's list starts on: the working folder when it lies
    // on that drive, else the drive's top.
    QString currentFolderOf(const QString& drive) const;
    // Points the folder list at a drive's folder; the run-time error number
    // when the drive cannot be read, 0 on success.
    int tryDrive(const QString& drive);

    QPointer<kezdo> m_main;
    QPointer<QLineEdit> m_target;
    Mode m_mode;
    QString m_dirPath;
    QString m_filePath;
    QString m_drive;     // the drive of the lists
    bool m_filling = false;
};
