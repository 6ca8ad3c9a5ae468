#pragma once

class QDialog;
class QDialogButtonBox;

// The "OK" / "Annuler" buttons of a dialog, wired to accept and reject.
QDialogButtonBox *okCancelButtons(QDialog *dialog);
