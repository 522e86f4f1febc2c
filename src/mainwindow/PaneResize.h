#pragma once
// How the first file window keeps its share of the right panel when the
// window or a splitter moves. Portable.

namespace qrv {

// The first window's new size along the moved direction: its old size
// divided by the old size of the right panel times the new one, rounded to
// the nearest integer. An old panel size of 0 or less (hidden, minimised)
// keeps the old size: there is no share to keep.
int ScaleFirstWindow(int OldFirstSize, int OldPanelSize, int NewPanelSize);

// After the bottom splitter moved with the windows stacked: the first
// window's height is scaled only when the right panel's height changed by
// 2 pixels or more; else it stays.
int ScaleFirstWindowHeight(int OldFirstHeight, int OldPanelHeight, int NewPanelHeight);

}  // namespace qrv
