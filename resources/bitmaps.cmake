# Bitmaps (":/bitmaps/<id>.bmp") and icons (":/icons/<id>-<size>.png") drawn by tools/artgen.
if(NOT VANDU_CORE_ONLY)
  set(VANDU_BITMAP_IDS
      129 131 137 162 181 198 201 203 211 212 213 214 215 216 217 218 219 220 221 222 223 224 225 238 239
      243 244 245 246 247 248 250 253 255 256 257 258 260 261 262 263 268 269 270 271 272
  )
  set(VANDU_ICON_FILES
      128-16.png 128-32.png 128-64.png 167-16.png 167-32.png 167-64.png 168-16.png 168-32.png 168-64.png
      169-16.png 169-32.png 169-64.png 170-16.png 170-32.png 170-64.png
  )
  set(VANDU_BITMAP_FILES)
  foreach(id IN LISTS VANDU_BITMAP_IDS)
    list(APPEND VANDU_BITMAP_FILES "bitmaps/${id}.bmp")
  endforeach()
  list(TRANSFORM VANDU_ICON_FILES PREPEND "icons/")
  qt_add_resources(vandu_qt "vandu_bitmaps" PREFIX "/" FILES ${VANDU_BITMAP_FILES} ${VANDU_ICON_FILES})
endif()
