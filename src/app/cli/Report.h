#pragma once

// quenzo-cli report: a history report written as a text file or a PDF file.
// Runs its own application object (drawing a PDF needs the Gui one), so it is
// dispatched before any other is made.
int runReport(int argc, char *argv[]);
