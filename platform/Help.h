#pragma once
// The help viewer: German help pages built into the program, one topic per help context number.
// Replaces the help file "TarvoHelp.hlp" of the Windows program.

#include <functional>

class QWidget;

void ShowHelpContext(int context);  // the topic of a context number (0: the contents)
void ShowHelpContents();            // "&Inhalt"
void ShowHelpIndex();               // "Inde&x": the index of search words

// Tests observe the requests instead of opening the viewer: the observer gets the context
// number, or -1 for the contents and -2 for the index. Empty restores the viewer.
void SetHelpObserver(std::function<void(int)> observer);
