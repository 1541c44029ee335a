#pragma once

// Start-up measurement hook: when VANDU_REPORT_FIRST_FRAME=1 is in the environment, the first call
// writes "first-frame <CLOCK_REALTIME in ns> cpu <CPU time of all threads so far, in ns>" to stderr;
// later calls and other environments do nothing. Called at the end of a window's paint, so tools/bench-startup.sh can
// time the first frame of the agent and of the bare reference window the same way. VANDU_REPORT_FIRST_FRAME=exit also
// ends the process right after the report, so that a profiler records the start-up and nothing else.

class CFirstFrameProbe {
public:
    static void FramePainted();
};
