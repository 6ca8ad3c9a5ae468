#pragma once

#include <QString>

class Prompter;
class QWidget;

// Opens a document with the program the desktop associates with its type;
// when there is none, asks which program should open it.
bool openDocument(const QString &path, Prompter &prompter, QWidget *parent = nullptr);
