#pragma once
// A plain label that acts on a left click, as the link labels of the about
// boxes and the catalog do.
#include <functional>

class QLabel;

// Calls onClick whenever the left mouse button is released over label. The
// watcher lives as long as the label.
void OnLabelClick(QLabel* label, std::function<void()> onClick);
