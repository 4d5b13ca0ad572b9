#include "ConvertCommand.h"

int main(int argc, char** argv)
{
    return runConvertCommand(argc, argv);
}
