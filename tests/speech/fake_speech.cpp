#include "speech/fake_speech.h"

#include <objbase.h>

#include <cstring>

namespace quill::testing {

namespace {

constexpr HRESULT kNotFound = static_cast<HRESULT>(0x8004503AL);

// A copy of text made with CoTaskMemAlloc, as the service hands out.
wchar_t* CoTaskCopy(const std::wstring& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  auto* copy = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
  std::memcpy(copy, text.c_str(), bytes);
  return copy;
}

// Counts itself among the fake's live objects from creation to Release.
template <typename Seam>
class FakeObject : public Seam {
 public:
  explicit FakeObject(FakeSpeech& owner) : owner_(owner) { ++owner_.live; }
  ULONG Release() override {
    --owner_.live;
    delete this;
    return 0;
  }

 protected:
  FakeSpeech& owner_;
};

// Hands made out when result succeeded, else gives it back at once.
template <typename Seam>
HRESULT Make(HRESULT result, Seam** out, Seam* made) {
  *out = SUCCEEDED(result) ? made : nullptr;
  if (FAILED(result)) made->Release();
  return result;
}

class FakeAudio : public FakeObject<SpeechAudio> {
 public:
  using FakeObject::FakeObject;
  HRESULT SetFormat(const GUID& formatId, const WAVEFORMATEX* format) override {
    owner_.formatId = formatId;
    if (format != nullptr) owner_.format = *format;
    return owner_.Record("SetFormat");
  }
};

class FakeToken : public FakeObject<SpeechToken> {
 public:
  explicit FakeToken(FakeSpeech& owner, std::wstring id = {})
      : FakeObject(owner), id_(std::move(id)) {}
  HRESULT SetId(const wchar_t*, const wchar_t* tokenId, BOOL) override {
    id_ = tokenId != nullptr ? tokenId : L"";
    return owner_.Record("Token.SetId", Narrow(id_));
  }
  HRESULT GetId(wchar_t** tokenId) override {
    *tokenId = CoTaskCopy(id_);
    return owner_.Record("Token.GetId");
  }
  HRESULT GetStringValue(const wchar_t* name, wchar_t** value) override {
    *value = nullptr;
    const HRESULT result = owner_.Record("GetStringValue");
    if (FAILED(result)) return result;
    for (const FakeVoiceEntry& voice : owner_.voices) {
      const auto found = voice.descriptions.find(name != nullptr ? name : L"");
      if (voice.id != id_ || found == voice.descriptions.end()) continue;
      *value = CoTaskCopy(found->second);
      return S_OK;
    }
    return kNotFound;
  }
  HRESULT CreateAudio(SpeechAudio** audio) override {
    return Make<SpeechAudio>(owner_.Record("CreateAudio"), audio, new FakeAudio(owner_));
  }
  const std::wstring& Id() const { return id_; }

 private:
  std::wstring id_;
};

class FakeTokenList : public FakeObject<SpeechTokenList> {
 public:
  using FakeObject::FakeObject;
  HRESULT Next(SpeechToken** token) override {
    *token = next_ < owner_.voices.size() ? new FakeToken(owner_, owner_.voices[next_++].id)
                                          : nullptr;
    return *token != nullptr ? S_OK : S_FALSE;
  }

 private:
  std::size_t next_ = 0;
};

class FakeCategory : public FakeObject<SpeechCategory> {
 public:
  using FakeObject::FakeObject;
  HRESULT SetId(const wchar_t* categoryId, BOOL) override {
    id_ = categoryId;
    return owner_.Record("Category.SetId", Narrow(id_.substr(id_.rfind(L'\\') + 1)));
  }
  HRESULT GetDefaultTokenId(wchar_t** tokenId) override {
    const HRESULT result = owner_.Record("GetDefaultTokenId");
    const bool voices = id_.ends_with(L"Voices");
    *tokenId = FAILED(result) ? nullptr
                              : CoTaskCopy(voices ? owner_.defaultVoiceId : owner_.audioOutputId);
    return result;
  }
  HRESULT EnumTokens(SpeechTokenList** tokens) override {
    return Make<SpeechTokenList>(owner_.Record("EnumTokens"), tokens, new FakeTokenList(owner_));
  }

 private:
  std::wstring id_;
};

class FakeVoice : public FakeObject<SpeechVoice> {
 public:
  using FakeObject::FakeObject;
  HRESULT SetOutput(SpeechAudio* audio, BOOL allowFormatChanges) override {
    owner_.outputBound = audio != nullptr;
    return owner_.Record("SetOutput", allowFormatChanges ? "TRUE" : "FALSE");
  }
  HRESULT SetVoice(SpeechToken* voiceToken) override {
    owner_.voiceSet = static_cast<FakeToken*>(voiceToken)->Id();
    return owner_.Record("SetVoice", Narrow(owner_.voiceSet));
  }
  HRESULT SetRate(long rate) override {
    owner_.rate = rate;
    return owner_.Record("SetRate", std::to_string(rate));
  }
  HRESULT SetVolume(USHORT volume) override {
    owner_.volume = volume;
    return owner_.Record("SetVolume", std::to_string(volume));
  }
  HRESULT Speak(const wchar_t* text, DWORD flags) override {
    owner_.spoken.push_back(text);
    return owner_.Record("Speak", std::to_string(flags));
  }
};

}  // namespace

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t unit : text) narrow.push_back(unit < 128 ? static_cast<char>(unit) : '?');
  return narrow;
}

HRESULT FakeSpeech::Record(const std::string& call, const std::string& argument) {
  calls.push_back(argument.empty() ? call : call + " " + argument);
  const auto found = failures.find(call);
  return found == failures.end() ? S_OK : found->second;
}

HRESULT FakeSpeech::CreateVoice(SpeechVoice** voice) {
  return Make<SpeechVoice>(Record("CreateVoice"), voice, new FakeVoice(*this));
}

HRESULT FakeSpeech::CreateCategory(SpeechCategory** category) {
  return Make<SpeechCategory>(Record("CreateCategory"), category, new FakeCategory(*this));
}

HRESULT FakeSpeech::CreateToken(SpeechToken** token) {
  return Make<SpeechToken>(Record("CreateToken"), token, new FakeToken(*this));
}

}  // namespace quill::testing
