// The Windows Japanese faces that layouts name, mapped to the metric-compatible IPA faces, so that a
// text fits its box as it did where the layout was written.
#pragma once

// Installs the substitutions. Call once after the QGuiApplication exists, before anything draws.
void InstallFontSubstitutions();
