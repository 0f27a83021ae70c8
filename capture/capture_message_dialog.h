#pragma once

#include "capture/capture_pipeline.h"

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;

// The "Capture Message" dialog (108): shows the name the capture would get, lets the user type
// another (without extension, at most 50 characters) or abort, and offers to stop asking.
// OK takes the typed name (checked as a file name for the capture folder) or, when none was
// typed, the next free name; an existing file is replaced only when the user answers Yes.
class CaptureMessageDialog : public QDialog
{
    Q_OBJECT

public:
    // Asks whether to replace an existing file; the confirmation dialog's answer (1001 Yes).
    using ReplaceQuestion = std::function<int(QWidget *dialog)>;

    CaptureMessageDialog(const CaptureDialogRequest &request, ReplaceQuestion askReplace,
                         QWidget *parent = nullptr);

    // What the dialog ended with: OK with the name, or the abort; the check box either way.
    CaptureDialogOutcome outcome() const { return result; }

    void accept() override;
    // "Abort this capture", Escape and closing the window.
    void reject() override;

private:
    void buildControls(const QString &defaultName, const QString &extension);

    CaptureDialogRequest request;
    ReplaceQuestion askReplace;
    QLineEdit *nameField = nullptr;
    QCheckBox *dontShow = nullptr;
    CaptureDialogOutcome result;
};

// The question an existing name asks, over the dialog: replace the file? It carries the
// application's title, as the capture's other messages do.
int AskReplaceCapture(QWidget *dialog);

// Runs the dialog modally over parent and returns how it ended.
CaptureDialogOutcome RunCaptureMessageDialog(const CaptureDialogRequest &request,
                                             CaptureMessageDialog::ReplaceQuestion askReplace,
                                             QWidget *parent);
