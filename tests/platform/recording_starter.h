#pragma once

#include "platform/program_start.h"

#include <string>
#include <utility>
#include <vector>

// Records the programs the code under test starts instead of starting them, for its lifetime;
// each start answers result (0: started).
class RecordingStarter final : public ProgramStarter
{
public:
    RecordingStarter() : previous(SetProgramStarter(this)) { }

    ~RecordingStarter() override { SetProgramStarter(previous); }

    RecordingStarter(const RecordingStarter &) = delete;
    RecordingStarter &operator=(const RecordingStarter &) = delete;

    int start(const std::string &program, const std::vector<std::string> &args) override
    {
        calls.emplace_back(program, args);
        return result;
    }

    std::vector<std::pair<std::string, std::vector<std::string>>> calls;
    int result = 0;

private:
    ProgramStarter *previous;
};
