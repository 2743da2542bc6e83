#pragma once

class QWidget;

// Centres a top-level window, frame included, on the available area of its screen. A window manager frames a
// window only once it is mapped, and a message box takes its final size as it is shown, so the window is
// centred again whenever its size or its frame changes, until it has been shown in its frame. A window that
// is given no frame (no window manager, offscreen) stays centred as it was first shown; one that is hidden
// meanwhile is left where it was last put. Later moves and resizes by the user are left alone.
void centreOnScreen(QWidget& window);
