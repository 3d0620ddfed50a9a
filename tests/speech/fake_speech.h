// A recording stand-in for the speech service: it counts the objects it has
// handed out and not had back, records what reaches the voice, and fails
// any call it is told to.
#pragma once

#include <windows.h>
#include <mmreg.h>

#include <map>
#include <string>
#include <vector>

#include "speech/speech_api.h"

namespace quill::testing {

struct FakeVoiceEntry {
  std::wstring id;
  // Descriptions by value name ("409"); the empty name is the default value.
  std::map<std::wstring, std::wstring> descriptions;
};

class FakeSpeech : public SpeechApi {
 public:
  FakeSpeech();

  HRESULT CreateVoice(SpeechVoice** voice) override;
  HRESULT CreateCategory(SpeechCategory** category) override;
  HRESULT CreateToken(SpeechToken** token) override;

  // Makes the named call ("CreateVoice", "Category.SetId", "SetRate", ...)
  // answer result from now on.
  void Fail(const std::string& call, HRESULT result = E_FAIL) { failures_[call] = result; }
  // What the call answers: S_OK unless it was told to fail.
  HRESULT Answer(const std::string& call);

  // Objects handed out and not released yet.
  int live = 0;
  // Every call, in order, with its main argument.
  std::vector<std::string> calls;
  // What reached the last voice.
  std::vector<std::wstring> spoken;
  long rate = 99;
  int volume = -1;
  GUID formatId = {};
  bool formatGiven = false;
  WAVEFORMATEX format = {};
  bool outputBound = false;
  std::wstring voiceSet;

  // The service's registered tokens.
  std::wstring audioOutputId = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\AudioOutput\\TokenEnums\\Fake\\Speakers";
  std::vector<FakeVoiceEntry> voices;
  std::wstring defaultVoiceId;

 private:
  std::map<std::string, HRESULT> failures_;
};

// A copy of text made with CoTaskMemAlloc, as the service hands out.
wchar_t* CoTaskCopy(const std::wstring& text);
std::string Narrow(const std::wstring& text);

}  // namespace quill::testing
