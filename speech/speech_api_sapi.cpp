// The speech interface over the platform's speech service (SAPI 5, COM).
#include <windows.h>
#include <objbase.h>
#include <sapi.h>

#include "win/scoped_win.h"
#include "speech/speech_api.h"

namespace quill {

namespace {

// One seam object over one COM object; the seam object is the only owner.
template <typename Seam, typename Com>
class SapiObject : public Seam {
 public:
  explicit SapiObject(Com* object) : object_(object) {}
  ULONG Release() override {
    delete this;
    return 0;
  }
  Com* Native() const { return object_.get(); }

 protected:
  ScopedComPtr<Com> object_;
};

// Wraps a freshly made COM object, or reports the failure that made none.
template <typename Wrapper, typename Seam, typename Com>
HRESULT Hand(HRESULT result, ScopedComPtr<Com>& object, Seam** out) {
  *out = nullptr;
  if (FAILED(result)) return result;
  if (!object) return E_POINTER;
  *out = new Wrapper(object.release());
  return result;
}

template <typename Com>
HRESULT CreateCom(REFCLSID classId, REFIID interfaceId, ScopedComPtr<Com>& object) {
  return CoCreateInstance(classId, nullptr, kSpeechClassContext, interfaceId, object.putVoid());
}

class SapiAudio : public SapiObject<SpeechAudio, ISpAudio> {
 public:
  using SapiObject::SapiObject;
  HRESULT SetFormat(const GUID& formatId, const WAVEFORMATEX* format) override {
    return object_->SetFormat(formatId, format);
  }
};

class SapiToken : public SapiObject<SpeechToken, ISpObjectToken> {
 public:
  using SapiObject::SapiObject;
  HRESULT SetId(const wchar_t* categoryId, const wchar_t* tokenId,
                BOOL createIfMissing) override {
    return object_->SetId(categoryId, tokenId, createIfMissing);
  }
  HRESULT GetId(wchar_t** tokenId) override { return object_->GetId(tokenId); }
  HRESULT GetStringValue(const wchar_t* name, wchar_t** value) override {
    return object_->GetStringValue(name, value);
  }
  HRESULT CreateAudio(SpeechAudio** audio) override {
    ScopedComPtr<ISpAudio> made;
    const HRESULT result =
        object_->CreateInstance(nullptr, kSpeechClassContext, IID_ISpAudio, made.putVoid());
    return Hand<SapiAudio>(result, made, audio);
  }
};

class SapiTokenList : public SapiObject<SpeechTokenList, IEnumSpObjectTokens> {
 public:
  using SapiObject::SapiObject;
  HRESULT Next(SpeechToken** token) override {
    ScopedComPtr<ISpObjectToken> next;
    const HRESULT result = object_->Next(1, next.put(), nullptr);
    if (result != S_OK) {
      *token = nullptr;
      return FAILED(result) ? result : S_FALSE;
    }
    return Hand<SapiToken>(result, next, token);
  }
};

class SapiCategory : public SapiObject<SpeechCategory, ISpObjectTokenCategory> {
 public:
  using SapiObject::SapiObject;
  HRESULT SetId(const wchar_t* categoryId, BOOL createIfMissing) override {
    return object_->SetId(categoryId, createIfMissing);
  }
  HRESULT GetDefaultTokenId(wchar_t** tokenId) override {
    return object_->GetDefaultTokenId(tokenId);
  }
  HRESULT EnumTokens(SpeechTokenList** tokens) override {
    ScopedComPtr<IEnumSpObjectTokens> list;
    const HRESULT result = object_->EnumTokens(nullptr, nullptr, list.put());
    return Hand<SapiTokenList>(result, list, tokens);
  }
};

class SapiVoice : public SapiObject<SpeechVoice, ISpVoice> {
 public:
  using SapiObject::SapiObject;
  HRESULT SetOutput(SpeechAudio* audio, BOOL allowFormatChanges) override {
    ISpAudio* native = audio == nullptr ? nullptr : static_cast<SapiAudio*>(audio)->Native();
    return object_->SetOutput(native, allowFormatChanges);
  }
  HRESULT SetVoice(SpeechToken* voiceToken) override {
    ISpObjectToken* native =
        voiceToken == nullptr ? nullptr : static_cast<SapiToken*>(voiceToken)->Native();
    return object_->SetVoice(native);
  }
  HRESULT SetRate(long rate) override { return object_->SetRate(rate); }
  HRESULT SetVolume(USHORT volume) override { return object_->SetVolume(volume); }
  HRESULT Speak(const wchar_t* text, DWORD flags) override {
    return object_->Speak(text, flags, nullptr);
  }
};

class SapiApi : public SpeechApi {
 public:
  HRESULT CreateVoice(SpeechVoice** voice) override {
    ScopedComPtr<ISpVoice> made;
    return Hand<SapiVoice>(CreateCom(CLSID_SpVoice, IID_ISpVoice, made), made, voice);
  }
  HRESULT CreateCategory(SpeechCategory** category) override {
    ScopedComPtr<ISpObjectTokenCategory> made;
    return Hand<SapiCategory>(
        CreateCom(CLSID_SpObjectTokenCategory, IID_ISpObjectTokenCategory, made), made, category);
  }
  HRESULT CreateToken(SpeechToken** token) override {
    ScopedComPtr<ISpObjectToken> made;
    return Hand<SapiToken>(CreateCom(CLSID_SpObjectToken, IID_ISpObjectToken, made), made, token);
  }
};

}  // namespace

SpeechApi& PlatformSpeechApi() {
  // The object holds no state of its own, only the way to the service.
  static SapiApi api;
  return api;
}

}  // namespace quill
