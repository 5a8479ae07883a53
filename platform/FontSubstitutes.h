#pragma once
// The forms are laid out in pixels for the Windows faces Tahoma, MS Sans Serif and Arial. Where
// those faces are missing, fontconfig would hand out DejaVu Sans, which is wide enough to cut
// captions such as "Messungen für Durchschnitt". Their metric twins are named instead.

// Installs the substitutes for the whole program; a face that exists is never replaced.
void InstallFontSubstitutes();
