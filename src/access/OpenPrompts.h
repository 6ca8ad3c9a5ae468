#pragma once

#include "core/DatabaseOpener.h"

class Prompter;
class QWidget;

// The questions of the database opening, asked on screen: the yes/no
// question through the prompter, the passwords through their dialogs.
OpenCallbacks openPrompts(Prompter &prompter, QWidget *parent);
