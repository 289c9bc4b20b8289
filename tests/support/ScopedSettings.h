#pragma once
// The shared settings for the length of a test: saves SharedSettings() when
// made and puts it back when destroyed, however the test ends, as
// ScriptedPrompts installs and removes itself. The test sets fields through
// it (settings->HandsFolder = ...) or through SharedSettings() itself.
#include "core/settings/Settings.h"

#include <string>

namespace zelv {

class ScopedSettings {
  public:
    ScopedSettings() : saved_(SharedSettings()) {}
    // Starts from the working folders beside `programFolder`.
    explicit ScopedSettings(const std::string& programFolder) : ScopedSettings() {
        SharedSettings() = Settings::ForProgramFolder(programFolder);
    }
    ~ScopedSettings() { SharedSettings() = saved_; }
    ScopedSettings(const ScopedSettings&) = delete;
    ScopedSettings& operator=(const ScopedSettings&) = delete;

    Settings& operator*() const { return SharedSettings(); }
    Settings* operator->() const { return &SharedSettings(); }

  private:
    Settings saved_;
};

} // namespace zelv
