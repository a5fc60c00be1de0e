#pragma once

class QWidget;

// Shows a top-level window in the middle of the screen it is on.
void showCentered(QWidget *window);
