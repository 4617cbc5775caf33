# Sourced by bench/run and bench/batch: the peers' and the corpus's packages,
# and the corpus itself.

# install_bench_packages: zh-autoconvert (autob5, autogb) and fortunes-zh,
# with apt-get when they are missing.
install_bench_packages() {
  local p missing=() sudo_cmd=()
  for p in zh-autoconvert fortunes-zh; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update >/dev/null
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -o DPkg::Lock::Timeout=300 \
    --no-install-recommends "${missing[@]}" >/dev/null
}

# corpus MB PATH: real prose, the Chinese fortunes of fortunes-zh made GB2312
# by iconv, repeated to at least MB megabytes (10^6 bytes). Keeps one copy of
# the fortunes in $work, which the caller makes.
corpus() {
  local target=$(($1 * 1000000))
  if [[ ! -s $work/corpus.gb ]]; then
    iconv -c -f UTF-8 -t GB2312 /usr/share/games/fortunes/{chinese,tang300,song100} \
      >"$work/corpus.gb" 2>/dev/null || true
  fi
  : >"$2"
  while (($(stat -c %s "$2") < target)); do cat "$work/corpus.gb" >>"$2"; done
}
