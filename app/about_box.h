#pragma once

class QDialog;
class QWidget;

// The about box: the program's name and version, OK, and Help, which (as F1 does) opens the
// box's own help topic and leaves the box open. Made on owner; the caller runs it.
QDialog *MakeAboutBox(QWidget *owner);

// Runs the about box modally over owner.
void RunAboutBox(QWidget *owner);
