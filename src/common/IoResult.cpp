#include "common/IoResult.h"

#include <cstring>

IoResult IoResult::failure(int errnoValue)
{
    return {false, errnoValue, std::strerror(errnoValue)};
}
