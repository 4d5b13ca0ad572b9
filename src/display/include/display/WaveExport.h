#pragma once

class QString;
class SignatureChart;

// Writes chart, as it is drawn now, in paper colours and at its size on screen,
// as a BMP file at path (whatever its extension). The file is replaced only
// once complete; the chart wears its own colours again on every way out.
// Throws SystemError: "Cannot create file <path>" when the file cannot be
// created, "Unable to write to <path>" when writing it fails.
void exportChartBitmap(SignatureChart& chart, const QString& path);
