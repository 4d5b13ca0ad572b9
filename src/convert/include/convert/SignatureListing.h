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

// The files of a folder a person may mean as a set of strokes: the names the
// schedule picks (above) and names ending in ".wav" in any letter case, as
// full paths ("dir/name"), sorted by path. With subfolders, the folders below
// dir are searched too; a linked folder is not entered, so a link cannot lead
// the search out of the tree or round in a circle, and hidden folders are left
// out. Folders that cannot be read are named in unreadable; the rest is
// still listed.
struct StrokeFileListing
{
    IoResult status; // of dir itself
    std::vector<std::string> paths;
    std::vector<std::string> unreadable; // subfolders that could not be read
};

bool matchesStrokeFileName(const std::string& name);
StrokeFileListing listStrokeFiles(const std::string& dir, bool subfolders);
