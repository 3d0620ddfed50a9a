// Reading the current headword aloud: one voice per request, bound to the
// default audio output in the chosen format, released again at the end.
#include "speech/speech.h"

#include <objbase.h>
#include <sapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "display/entry_format.h"
#include "speech/audio_format.h"
#include "speech/co_task_mem.h"
#include "win/wide_text.h"
#include "win/message_box.h"
#include "win/scoped_win.h"

namespace quill {

namespace {

// A key always fits the text buffer of a request: it holds this many units
// or the book's own text buffer size, whichever is larger.
constexpr std::size_t kSpeechTextUnits = 512;

// A request has no window of its own: the window in front owns the message.
void ShowSpeechError(const char* text) { ShowError(GetForegroundWindow(), text); }

// Lets the voice speak in the user's voice choice; a voice no longer
// installed leaves the service's default.
void ApplyVoiceChoice(SpeechApi& api, SpeechVoice& voice, const std::wstring& voiceId) {
  if (voiceId.empty()) return;
  ScopedComPtr<SpeechToken> token;
  if (FAILED(api.CreateToken(token.put()))) return;
  if (FAILED(token->SetId(nullptr, voiceId.c_str(), FALSE))) return;
  voice.SetVoice(token.get());
}

}  // namespace

HRESULT MakeStreamFormat(int streamFormat, GUID* formatId, WAVEFORMATEX** waveFormat) {
  if (formatId == nullptr || waveFormat == nullptr) return E_INVALIDARG;
  *formatId = GUID_NULL;
  *waveFormat = nullptr;
  PcmFormat pcm;
  if (!PcmFormatFor(streamFormat, &pcm)) return E_INVALIDARG;
  auto* format = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
  if (format == nullptr) return E_OUTOFMEMORY;
  format->wFormatTag = WAVE_FORMAT_PCM;
  format->nChannels = pcm.channels;
  format->nSamplesPerSec = pcm.samplesPerSecond;
  format->nAvgBytesPerSec = pcm.averageBytesPerSecond;
  format->nBlockAlign = pcm.blockAlign;
  format->wBitsPerSample = pcm.bitsPerSample;
  format->cbSize = 0;
  *formatId = SPDFID_WaveFormatEx;
  *waveFormat = format;
  return S_OK;
}

HRESULT FindDefaultAudioOutput(SpeechApi& api, const wchar_t* categoryId, BOOL createIfMissing,
                               SpeechToken** token) {
  *token = nullptr;
  ScopedComPtr<SpeechCategory> category;
  HRESULT result = api.CreateCategory(category.put());
  if (SUCCEEDED(result)) result = category->SetId(categoryId, createIfMissing);
  CoTaskText tokenId;
  if (SUCCEEDED(result)) result = category->GetDefaultTokenId(tokenId.put());
  ScopedComPtr<SpeechToken> found;
  if (SUCCEEDED(result)) result = api.CreateToken(found.put());
  if (SUCCEEDED(result)) result = found->SetId(nullptr, tokenId.get(), FALSE);
  if (SUCCEEDED(result)) *token = found.release();
  return result;
}

void SpeakCurrentKey(SpeechApi& api, BookFile* book, const SpeechSettings& settings) {
  ScopedCoInit com;
  if (!com.ok()) {
    std::puts("Error to intiliaze COM");
    ShowSpeechError("Error to intiliaze COM.");
    return;
  }
  // Declared before the voice so that the voice goes first at the end.
  ScopedComPtr<SpeechAudio> audio;
  CoTaskPtr<WAVEFORMATEX> waveFormat;
  ScopedComPtr<SpeechVoice> voice;
  if (FAILED(api.CreateVoice(voice.put()))) {
    ShowSpeechError("Error to intiliaze TTS.");
    return;
  }
  const bool open = book != nullptr && book->IsOpen();
  const std::size_t units =
      std::max(kSpeechTextUnits, open ? ContentCapacity(book->Header().textBufferUnits) : 0);
  std::vector<char16_t> text(units, 0);

  GUID formatId = GUID_NULL;
  MakeStreamFormat(StreamFormatOfRow(settings.formatIndex), &formatId, waveFormat.put());
  {
    ScopedComPtr<SpeechToken> output;
    if (SUCCEEDED(FindDefaultAudioOutput(api, kAudioOutputCategory, TRUE, output.put()))) {
      output->CreateAudio(audio.put());
    }
  }
  // Without an audio object the voice speaks to its own default output.
  if (audio) {
    audio->SetFormat(formatId, waveFormat.get());
    voice->SetOutput(audio.get(), FALSE);
  }
  ApplyVoiceChoice(api, *voice, settings.voiceId);
  if (open) book->ReadKey(text.data(), text.size());
  voice->SetRate(settings.rate);
  voice->SetVolume(static_cast<USHORT>(settings.volume & 0xFFFF));
  voice->Speak(AsWide(text.data()), SPF_DEFAULT);
}

bool SpeechAvailable(SpeechApi& api) {
  ScopedComPtr<SpeechVoice> probe;
  return SUCCEEDED(api.CreateVoice(probe.put()));
}

}  // namespace quill
