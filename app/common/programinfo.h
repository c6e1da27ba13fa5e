// What differs between the two programs built from this code base, in one
// place: captions, database file names, export names. Code asks
// ProgramInfo::current() instead of testing which program it is.
#pragma once

#include <QString>

namespace exchange {
struct ExportFormat;
}

struct ProgramInfo {
    enum class Kind { Surgical, Ward };

    Kind kind;
    QString name;            // program name, also the title of boxes without one
    QString caption;         // main window caption
    QString enteredDataFile; // alap, Ráfkódok, intadatok, Utolso azonosito, Osztálykódok (+ műtétek)
    QString codeTableFile;   // SGYOGY, ... code tables
    QString convertedFile;   // konv
    QString importMenuCaption;
    QString exportPrefix;    // monthly export file: prefix + institution code + month + ".txt"
    QString accompanyingListFile;
    // The converted-record viewer counts down while it deletes its choice;
    // the ward program's keeps the count until the next choice.
    bool viewerCountsDeletion = true;
    // How the monthly inpatient-report file becomes rows of konv.
    struct ImportRules {
        // Otherwise only a record whose first intervention entry carries a
        // surgery code is taken.
        bool takesEveryRecord = false;
        // Otherwise a time of "2400" is stored as "23:59:00".
        bool keeps2400 = false;
    };
    ImportRules importRules = {};
    const exchange::ExportFormat* exportFormat = nullptr; // the monthly export's line and names
    QString formatMessage;   // the start-up refusal of unsuitable regional formats, as each program spells it
    // The file chooser's "Megnyit" also shows the chosen drive with its size
    // and free space in the period dialog's drive lines.
    bool chooserShowsDrive = false;

    bool isWard() const { return kind == Kind::Ward; }

    static const ProgramInfo& sebrix();
    static const ProgramInfo& zorivozure();

    static const ProgramInfo& current();
    static void setCurrent(const ProgramInfo& info);
};
