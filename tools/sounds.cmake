# The built-in new-message chime. resources/sounds/171.wav is committed; after changing the
# generator, `cmake --build <dir> --target regenerate_sounds` writes it again.
add_executable(vandu_chime ${CMAKE_CURRENT_LIST_DIR}/chime/Chime.cpp)
vandu_warnings(vandu_chime)
add_custom_target(regenerate_sounds
                  COMMAND vandu_chime "${CMAKE_SOURCE_DIR}/resources/sounds/171.wav"
                  COMMENT "Writing resources/sounds/171.wav"
                  VERBATIM)
