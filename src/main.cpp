#include "ui/main/program.h"

int main(int argc, char *argv[])
{
    return velto::runProgram(argc, argv);
}
