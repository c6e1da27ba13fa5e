#include "app/common/programinfo.h"
#include "app/main/start.h"

int main(int argc, char** argv)
{
    return runProgram(ProgramInfo::sebrix(), argc, argv);
}
