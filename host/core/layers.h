// Connects the layers below the host to it: the hooks that the machine,
// the media and the debugger declare are set to the host's functions, and
// the media layer registers with the machine. Called once at start-up,
// before the machine is brought up; calling it again changes nothing.
#pragma once

void host_connect_layers();
