#pragma once
// The window frames of our dialogs. Every dialog is modal, and a modal
// window minimised on its own can take the whole program off the screen
// with no way back (seen under openbox), so none offers to minimise.
class QWidget;

namespace zelv {

// A dialog of fixed size: a title and a close button, nothing else.
void SetFixedDialogFrame(QWidget* dialog);
// A dialog the user may resize: it may also be maximised.
void SetSizableDialogFrame(QWidget* dialog);

} // namespace zelv
