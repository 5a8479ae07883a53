#pragma once
// The program's forms: the main window first, then the twelve dialog forms, each stored in its
// global form pointer. The program entry and the tests create them the same way.

#include <QString>

#include "link/BusWorker.h"

class TForm1;

// The configuration file of a program file: beside it, its extension replaced by ".INI", or per
// user when the program's folder cannot take it (platform/ConfigLocation).
QString DefaultConfigFile(const QString& programFile);

// Creates TForm1 (the start-up) and the dialogs; the dialogs belong to the main window. The bus
// has a thread of its own; tests may ask for its jobs to run inline.
TForm1* CreateForms(const QString& configFile, BusWorker::Mode busMode = BusWorker::Mode::Threaded);
// Destroys the main window with its dialogs and clears every form pointer.
void DestroyForms();
