#include "speech/fake_speech.h"

#include <objbase.h>

#include <cstring>

namespace quill::testing {

namespace {

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
  HRESULT Record(const std::string& call, const std::string& argument = {}) {
    owner_.calls.push_back(argument.empty() ? call : call + " " + argument);
    return owner_.Answer(call);
  }
  FakeSpeech& owner_;
};

template <typename Made, typename Seam>
HRESULT Make(HRESULT result, Seam** out, Made* made) {
  if (FAILED(result)) {
    made->Release();
    *out = nullptr;
    return result;
  }
  *out = made;
  return result;
}

class FakeAudio : public FakeObject<SpeechAudio> {
 public:
  using FakeObject::FakeObject;
  HRESULT SetFormat(const GUID& formatId, const WAVEFORMATEX* format) override {
    owner_.formatId = formatId;
    owner_.formatGiven = format != nullptr;
    if (format != nullptr) owner_.format = *format;
    return Record("SetFormat");
  }
};

class FakeToken : public FakeObject<SpeechToken> {
 public:
  explicit FakeToken(FakeSpeech& owner, std::wstring id = {})
      : FakeObject(owner), id_(std::move(id)) {}
  HRESULT SetId(const wchar_t*, const wchar_t* tokenId, BOOL) override {
    id_ = tokenId != nullptr ? tokenId : L"";
    return Record("Token.SetId", Narrow(id_));
  }
  HRESULT GetId(wchar_t** tokenId) override {
    *tokenId = CoTaskCopy(id_);
    return Record("Token.GetId");
  }
  HRESULT GetStringValue(const wchar_t* name, wchar_t** value) override {
    *value = nullptr;
    const HRESULT result = Record("GetStringValue", Narrow(name != nullptr ? name : L"(default)"));
    if (FAILED(result)) return result;
    for (const FakeVoiceEntry& voice : owner_.voices) {
      if (voice.id != id_) continue;
      const auto found = voice.descriptions.find(name != nullptr ? name : L"");
      if (found == voice.descriptions.end()) break;
      *value = CoTaskCopy(found->second);
      return S_OK;
    }
    return static_cast<HRESULT>(0x8004503AL);  // not found
  }
  HRESULT CreateAudio(SpeechAudio** audio) override {
    return Make(Record("CreateAudio"), audio, new FakeAudio(owner_));
  }
  const std::wstring& Id() const { return id_; }

 private:
  std::wstring id_;
};

class FakeTokenList : public FakeObject<SpeechTokenList> {
 public:
  using FakeObject::FakeObject;
  HRESULT Next(SpeechToken** token) override {
    *token = nullptr;
    if (next_ >= owner_.voices.size()) return S_FALSE;
    *token = new FakeToken(owner_, owner_.voices[next_++].id);
    return S_OK;
  }

 private:
  std::size_t next_ = 0;
};

class FakeCategory : public FakeObject<SpeechCategory> {
 public:
  using FakeObject::FakeObject;
  HRESULT SetId(const wchar_t* categoryId, BOOL) override {
    id_ = categoryId;
    return Record("Category.SetId", Narrow(id_.substr(id_.rfind(L'\\') + 1)));
  }
  HRESULT GetDefaultTokenId(wchar_t** tokenId) override {
    *tokenId = nullptr;
    const HRESULT result = Record("GetDefaultTokenId");
    if (SUCCEEDED(result)) {
      *tokenId = CoTaskCopy(id_.ends_with(L"Voices") ? owner_.defaultVoiceId : owner_.audioOutputId);
    }
    return result;
  }
  HRESULT EnumTokens(SpeechTokenList** tokens) override {
    return Make(Record("EnumTokens"), tokens, new FakeTokenList(owner_));
  }

 private:
  std::wstring id_;
};

class FakeVoice : public FakeObject<SpeechVoice> {
 public:
  using FakeObject::FakeObject;
  HRESULT SetOutput(SpeechAudio* audio, BOOL allowFormatChanges) override {
    owner_.outputBound = audio != nullptr;
    return Record("SetOutput", allowFormatChanges ? "TRUE" : "FALSE");
  }
  HRESULT SetVoice(SpeechToken* voiceToken) override {
    owner_.voiceSet = static_cast<FakeToken*>(voiceToken)->Id();
    return Record("SetVoice", Narrow(owner_.voiceSet));
  }
  HRESULT SetRate(long rate) override {
    owner_.rate = rate;
    return Record("SetRate", std::to_string(rate));
  }
  HRESULT SetVolume(USHORT volume) override {
    owner_.volume = volume;
    return Record("SetVolume", std::to_string(volume));
  }
  HRESULT Speak(const wchar_t* text, DWORD flags) override {
    owner_.spoken.push_back(text);
    return Record("Speak", std::to_string(flags));
  }
};

}  // namespace

wchar_t* CoTaskCopy(const std::wstring& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  auto* copy = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
  std::memcpy(copy, text.c_str(), bytes);
  return copy;
}

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t unit : text) narrow.push_back(unit < 128 ? static_cast<char>(unit) : '?');
  return narrow;
}

FakeSpeech::FakeSpeech() {
  voices = {
      {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\Ann",
       {{L"409", L"Ann - English"}, {L"", L"Ann"}}},
      {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\Bert", {{L"", L"Bert"}}},
      {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\Mute", {}},
  };
  defaultVoiceId = voices[1].id;
}

HRESULT FakeSpeech::Answer(const std::string& call) {
  const auto found = failures_.find(call);
  return found == failures_.end() ? S_OK : found->second;
}

HRESULT FakeSpeech::CreateVoice(SpeechVoice** voice) {
  calls.push_back("CreateVoice");
  return Make(Answer("CreateVoice"), voice, new FakeVoice(*this));
}

HRESULT FakeSpeech::CreateCategory(SpeechCategory** category) {
  calls.push_back("CreateCategory");
  return Make(Answer("CreateCategory"), category, new FakeCategory(*this));
}

HRESULT FakeSpeech::CreateToken(SpeechToken** token) {
  calls.push_back("CreateToken");
  return Make(Answer("CreateToken"), token, new FakeToken(*this));
}

}  // namespace quill::testing
