#pragma once

class QEvent;

namespace korvo {

// Return or the keypad's Enter pressed: the windows' fields take it as "go on".
bool IsEnterKeyPress(QEvent* event);

}  // namespace korvo
