// Program entry: the Qt host runs the program start-up.
#include "platform/qt/qt_main.h"

int main(int argc, char** argv) { return ld::qt::RunProgram(argc, argv); }
