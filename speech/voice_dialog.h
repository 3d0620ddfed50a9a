// The Voice Setting dialog (template 132): rate, volume, audio format and
// voice for reading aloud.
#pragma once

#include <windows.h>

#include "speech/speech.h"
#include "speech/speech_api.h"

namespace quill {

// Opens the dialog modally over owner, showing settings and listing the
// voices that api knows: IDOK when it was closed with OK (the choices are
// then in settings), IDCANCEL for Cancel, Escape or the close box (settings
// unchanged).
INT_PTR ShowVoiceDialog(HINSTANCE instance, HWND owner, SpeechApi& api, SpeechSettings& settings);

// Adds the installed voices' descriptions to combo, each item holding its
// token (released by the caller when the list goes), and selects the voice
// whose token id is selectId, or the service's default voice when selectId
// is empty, or else the first: S_OK, SPERR_NO_MORE_ITEMS when the voices
// cannot be listed, or E_OUTOFMEMORY when the combo box takes no more.
HRESULT FillVoiceList(SpeechApi& api, HWND combo, const wchar_t* selectId);

// Gives back the tokens the items of a voice list hold and empties it.
void ClearVoiceList(HWND combo);

// The language whose description of a voice the list shows: the user's
// interface language, or the user's default language.
LANGID VoiceDescriptionLanguage();

}  // namespace quill
