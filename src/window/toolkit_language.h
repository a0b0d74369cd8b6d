#pragma once
// Qt's own texts (the file dialogs' buttons, columns and questions, the standard
// context menus) in the fitter's language: Debian's Qt translations for Turkish,
// none for English.
namespace gasecu::qt {

// Installs or removes the toolkit's Turkish translation for the whole program;
// widgets made afterwards (every file dialog is made when it opens) speak it.
// False when Turkish was asked for and no translation was found: the dialogs
// then stay in English.
bool UseToolkitLanguage(bool english);

}  // namespace gasecu::qt
