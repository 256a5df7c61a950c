# A site's service worker, sw.js, keeping the site's files in a cache named by their hash:
#   cmake -DDIR=<site folder> -DIN=<sw.js template> -DFILES=<name,name,...> -P service_worker.cmake
# The page is kept both as the folder's address and as index.html.
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" files "${FILES}")
set(hashes "")
set(names "'./'")
foreach(name IN LISTS files)
  file(SHA256 ${DIR}/${name} hash)
  string(APPEND hashes "${hash}  ${name}\n")
  string(APPEND names ", '${name}'")
endforeach()
string(SHA256 build "${hashes}")
string(SUBSTRING ${build} 0 16 build)
file(READ ${IN} worker)
string(REPLACE "@BUILD@" "${build}" worker "${worker}")
string(REPLACE "@FILES@" "${names}" worker "${worker}")
file(WRITE ${DIR}/sw.js "${worker}")
