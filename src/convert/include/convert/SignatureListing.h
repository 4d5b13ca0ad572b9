#pragma once

#include "common/IoResult.h"

#include <string>
#include <vector>

// The signature files the instrument leaves in a folder: regular, non-hidden
// files whose names begin with H or h and have no extension (no "."), sorted
// alphabetically without regard to letter case. Symbolic links are not listed.
struct SignatureListing
{
    IoResult status;
    std::vector<std::string> names; // bare names, without the folder
};

bool matchesSignatureMask(const std::string& name);
SignatureListing listSignatureFiles(const std::string& dir);
