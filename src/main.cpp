#include "platform/startup.h"
#include "window/form1.h"

int main(int argc, char **argv)
{
    return platform::runProgram<window::Form1>(argc, argv);
}
