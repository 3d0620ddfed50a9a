// Reading the current headword aloud through the speech service, and the
// settings it applies.
#pragma once

#include <windows.h>
#include <mmreg.h>

#include <string>

#include "book/book_file.h"
#include "speech/audio_format.h"
#include "speech/speech_api.h"

namespace quill {

// The volume a run starts with, above the slider's 0..100: the Voice
// Setting dialog shows it as 100 but keeps 128 until the user moves it.
inline constexpr int kDefaultSpeechVolume = 128;

// What a "Voice" request applies. The main window holds one for the run,
// never stored, starting from these defaults when it is created; the Voice
// Setting dialog's OK changes it.
struct SpeechSettings {
  int volume = kDefaultSpeechVolume;      // passed as its low 16 bits
  int rate = 0;                           // -10..10 from the slider
  int formatIndex = kDefaultFormatIndex;  // row of AudioFormatTable
  std::wstring voiceId;  // token id of the chosen voice; empty: the service's default
};

// The speech service's names of the two token categories.
inline constexpr wchar_t kAudioOutputCategory[] =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\AudioOutput";
inline constexpr wchar_t kVoiceCategory[] =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices";

// Converts stream format number 4..39 into a PCM wave format allocated with
// CoTaskMemAlloc (the caller frees it) and formatId SPDFID_WaveFormatEx: S_OK;
// E_INVALIDARG (outputs untouched) when an output is missing; E_OUTOFMEMORY,
// or E_INVALIDARG for any other number, with GUID_NULL and no wave format.
HRESULT MakeStreamFormat(int streamFormat, GUID* formatId, WAVEFORMATEX** waveFormat);

// The default token of categoryId in *token (released by the caller): S_OK,
// or the first failing step's code and no token.
HRESULT FindDefaultAudioOutput(SpeechApi& api, const wchar_t* categoryId, BOOL createIfMissing,
                               SpeechToken** token);

// Creates a voice, binds it to the default audio output in the format of
// settings.formatIndex, applies the settings and speaks the current key of
// book (an empty text when book is null or has no current entry), waiting
// until it has been spoken; releases everything it made. A voice that cannot
// be made shows "Error to intiliaze TTS." and speaks nothing.
void SpeakCurrentKey(SpeechApi& api, BookFile* book, const SpeechSettings& settings);

// Whether the service can make a voice at all (the probe at start-up).
bool SpeechAvailable(SpeechApi& api);

}  // namespace quill
