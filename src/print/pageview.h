#pragma once
// A recorded page drawn as a white sheet into a rectangle: the preview
// window's page and the tests' pictures of pages.

#include <QRect>

class QPainter;

namespace tessaria {

class TRecordedPage;

// Draws a recorded page of a sheet into a rectangle of the painter's device.
void PaintPage(QPainter& painter, const TRecordedPage& page, int sheetWidth, int sheetHeight, const QRect& target);

} // namespace tessaria
