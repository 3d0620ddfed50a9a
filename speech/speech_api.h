// The few calls of the speech service that reading aloud and the Voice
// Setting dialog make, behind one small interface: the program uses the real
// service, the tests a recording stand-in. Each object is held by one owner
// and released once (ScopedComPtr); objects handed back to the interface
// (an output, a voice token) come from the same SpeechApi.
#pragma once

#include <windows.h>
#include <mmreg.h>
#include <objbase.h>

namespace quill {

// In-process server, in-process handler and local server.
inline constexpr DWORD kSpeechClassContext =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
static_assert(kSpeechClassContext == 7);

// Every object the interface hands out.
class SpeechObject {
 public:
  // Gives the object back; the pointer is dead afterwards.
  virtual ULONG Release() = 0;

 protected:
  virtual ~SpeechObject() = default;
};

// An audio output device.
class SpeechAudio : public SpeechObject {
 public:
  // Sets the format the device is fed in (format is null after a failed
  // conversion).
  virtual HRESULT SetFormat(const GUID& formatId, const WAVEFORMATEX* format) = 0;
};

// A token: the registered description of a voice or an audio output.
class SpeechToken : public SpeechObject {
 public:
  // Points the token at tokenId (within categoryId, which may be null).
  virtual HRESULT SetId(const wchar_t* categoryId, const wchar_t* tokenId,
                        BOOL createIfMissing) = 0;
  // The token's id, allocated with CoTaskMemAlloc for the caller to free.
  virtual HRESULT GetId(wchar_t** tokenId) = 0;
  // A string value of the token (null name: its default value), allocated
  // with CoTaskMemAlloc for the caller to free.
  virtual HRESULT GetStringValue(const wchar_t* name, wchar_t** value) = 0;
  // The audio output object the token describes.
  virtual HRESULT CreateAudio(SpeechAudio** audio) = 0;
};

// The tokens of a category, one at a time.
class SpeechTokenList : public SpeechObject {
 public:
  // S_OK with the next token, or S_FALSE (and no token) at the end.
  virtual HRESULT Next(SpeechToken** token) = 0;
};

// A category of tokens: the voices or the audio outputs.
class SpeechCategory : public SpeechObject {
 public:
  virtual HRESULT SetId(const wchar_t* categoryId, BOOL createIfMissing) = 0;
  // The id of the category's default token, allocated with CoTaskMemAlloc.
  virtual HRESULT GetDefaultTokenId(wchar_t** tokenId) = 0;
  // All tokens, with no required or optional attributes; S_OK when there
  // is a list.
  virtual HRESULT EnumTokens(SpeechTokenList** tokens) = 0;
};

// A voice that speaks text.
class SpeechVoice : public SpeechObject {
 public:
  virtual HRESULT SetOutput(SpeechAudio* audio, BOOL allowFormatChanges) = 0;
  virtual HRESULT SetVoice(SpeechToken* voiceToken) = 0;
  virtual HRESULT SetRate(long rate) = 0;
  virtual HRESULT SetVolume(USHORT volume) = 0;
  // Speaks text; flags 0 return when it has been spoken.
  virtual HRESULT Speak(const wchar_t* text, DWORD flags) = 0;
};

// Creates the service's objects (class context 7, no outer object).
class SpeechApi {
 public:
  virtual ~SpeechApi() = default;
  virtual HRESULT CreateVoice(SpeechVoice** voice) = 0;
  virtual HRESULT CreateCategory(SpeechCategory** category) = 0;
  virtual HRESULT CreateToken(SpeechToken** token) = 0;
};

// The platform's speech service, reached through COM.
SpeechApi& PlatformSpeechApi();

}  // namespace quill
