#pragma once

class QWidget;

// Centres a top-level window, frame included, on the available area of its screen. A window manager frames a
// window only once it is mapped, may still place it by its own rules while it frames it, and a message box
// takes its final size as it is shown; so the window is centred again whenever it does not stand centred with
// the frame it has, until it has stood in its frame for a moment. A window given no frame (no window manager)
// is followed for a second after it is first shown; one that is hidden meanwhile is left where it was last put.
// Later moves and resizes by the user are left alone.
void centreOnScreen(QWidget& window);
