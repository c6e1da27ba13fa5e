#include "app/main/start.h"

#include "app/common/programinfo.h"

#include <QApplication>

int runProgram(const ProgramInfo& info, int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(info.name);
    ProgramInfo::setCurrent(info);
    return 0;
}
