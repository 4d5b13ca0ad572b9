#pragma once

#include <string>

// The file list the display's Next and Previous step through (the main
// window's list), seen as a list with one current row.
class FileListCursor
{
public:
    virtual ~FileListCursor() = default;

    virtual int count() const = 0;
    // The current row, or -1 when there is none.
    virtual int current() const = 0;
    // Makes row index current; which rows are selected stays as it is.
    virtual void setCurrent(int index) = 0;
    // The path of row index (0 <= index < count()).
    virtual std::string text(int index) const = 0;
};
