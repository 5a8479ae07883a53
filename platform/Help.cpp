#include "platform/Help.h"

#include <utility>

namespace {
std::function<void(int)> g_observer;
}

void ShowHelpContext(int context) {
    if (g_observer) g_observer(context);
}
void ShowHelpContents() {
    if (g_observer) g_observer(-1);
}
void ShowHelpIndex() {
    if (g_observer) g_observer(-2);
}
void SetHelpObserver(std::function<void(int)> observer) { g_observer = std::move(observer); }
