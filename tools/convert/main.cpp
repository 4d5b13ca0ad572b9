#include "ConvertCommand.h"
#include "common/StandardDescriptors.h"

int main(int argc, char** argv)
{
    if (!openStandardDescriptors())
        return 1;
    return runConvertCommand(argc, argv);
}
