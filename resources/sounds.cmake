# Sounds compiled into the agent (":/sounds/<id>.wav"); 171 is the new-message chime.
if(NOT VANDU_CORE_ONLY)
  qt_add_resources(vandu_qt "vandu_sounds" PREFIX "/" FILES sounds/171.wav)
endif()
