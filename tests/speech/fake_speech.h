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

inline const std::wstring kVoiceTokens =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\";

class FakeSpeech : public SpeechApi {
 public:
  HRESULT CreateVoice(SpeechVoice** voice) override;
  HRESULT CreateCategory(SpeechCategory** category) override;
  HRESULT CreateToken(SpeechToken** token) override;

  // Makes the named call ("CreateVoice", "Category.SetId", "SetRate", ...)
  // answer result from now on.
  void Fail(const std::string& call, HRESULT result = E_FAIL) { failures[call] = result; }
  // Records the call with its main argument; S_OK unless told to fail.
  HRESULT Record(const std::string& call, const std::string& argument = {});

  int live = 0;                      // objects handed out and not released yet
  std::vector<std::string> calls;    // every call, in order
  std::vector<std::wstring> spoken;  // what reached the voices
  long rate = 99;
  int volume = -1;
  GUID formatId = {};
  WAVEFORMATEX format = {};
  bool outputBound = false;
  std::wstring voiceSet;

  // The service's registered tokens.
  std::wstring audioOutputId = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\AudioOutput\\TokenEnums\\Fake\\Speakers";
  std::vector<FakeVoiceEntry> voices = {
      {kVoiceTokens + L"Ann", {{L"409", L"Ann - English"}, {L"", L"Ann"}}},
      {kVoiceTokens + L"Bert", {{L"", L"Bert"}}},
      {kVoiceTokens + L"Mute", {}}};
  std::wstring defaultVoiceId = voices[1].id;
  std::map<std::string, HRESULT> failures;
};

std::string Narrow(const std::wstring& text);

}  // namespace quill::testing
