#pragma once

#include "vocabulary/TestLang.h"

class Prompter;
class Session;

// The screens whose texts the language tool exports; the first one is its sample.
QList<TestLang::ScreenFactory> languageScreens(Session &session, Prompter &prompter);
