# index.html with the game's tables and caption and the page's script in it, and the web app
# manifest with the caption as the game's name:
#   cmake -DNODE=<node> -DTABLES=<quorrel_tables.js> -DIN=<template> -DSCRIPT=<page.js>
#         -DOUT=<index.html> -DMANIFEST=<template> -DMANIFEST_OUT=<manifest> -P index.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${NODE} --no-experimental-fetch ${TABLES} OUTPUT_VARIABLE tables
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
string(JSON caption GET "${tables}" caption)
# A script element ends at the first "</".
string(REPLACE "</" "<\\/" tables "${tables}")
file(READ ${SCRIPT} script)
if(script MATCHES "</")
  message(FATAL_ERROR "${SCRIPT} has a \"</\", which would end its script element")
endif()
file(READ ${IN} html)
string(REPLACE "@PAGE_JS@" "${script}" html "${html}")
string(REPLACE "@TABLES@" "${tables}" html "${html}")
string(REPLACE "@CAPTION@" "${caption}" html "${html}")
file(WRITE ${OUT} "${html}")
file(READ ${MANIFEST} manifest)
string(REPLACE "@CAPTION@" "${caption}" manifest "${manifest}")
file(WRITE ${MANIFEST_OUT} "${manifest}")
