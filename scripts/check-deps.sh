#!/usr/bin/env bash
# Checks that scripts/install-deps.sh installs what the tests need on a fresh
# Debian machine, where it installs without recommended packages:
#  1. every program the tests start (found by the forms "command -v NAME" and
#     toolMissing("NAME") in tests/) is in its table of tools;
#  2. every tool's package is in its package list or comes with one of them,
#     and the tool is on the PATH;
#  3. every package that a tool's package or its dependencies only recommend
#     is in the list, comes with the list's own dependencies, or is waived
#     below with the reason why the tests do without it.
# Prints each miss and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v apt-cache >/dev/null || ! command -v dpkg-query >/dev/null; then
  echo "check-deps: not a Debian machine, nothing checked"
  exit 0
fi

# Recommended packages the tests do without, and why.
declare -A waived=(
  [libidn2-0]="a library every Debian system has"
  [libc6-dev]="build-essential depends on it"
  [krb5-locales]="translations only"
  [libc-devtools]="memory-tracing tools, not used"
  [llvm-14-dev]="clang's tools for LLVM plug-ins, not used"
  [manpages]="documentation"
  [manpages-dev]="documentation"
  [python3]="clang's helper scripts, not used"
  [apt-utils]="package tooling"
  [debconf-i18n]="translations only"
  [fonts-texgyre-math]="PDFs with mathematics, not used"
  [libfribidi0]="right-to-left text, not used"
  [poppler-data]="CJK encodings, not used"
  [ca-certificates]="nothing is downloaded"
  [fakeroot]="cpack sets the owners of the package's files itself"
  [libalgorithm-merge-perl]="merging of source packages, not used"
  [libfile-fcntllock-perl]="a faster file lock for dpkg-dev, not needed"
  [libgpg-error-l10n]="translations only"
  [liblocale-gettext-perl]="translations only"
  [libgpm2]="the console mouse, not used"
  [libldap-common]="LDAP settings, not used"
  [libsasl2-modules]="authentication mechanisms, not used"
  [netbase]="network protocol names, not used"
  [pgpainless-cli]="signature checks of source packages, not used"
  [psmisc]="process tools, not used"
  [publicsuffix]="domain lists, not used"
)

mapfile -t packages < <(scripts/install-deps.sh --list)
declare -A listed=()
for p in "${packages[@]}"; do listed[$p]=1; done
declare -A toolpkg=()
while read -r tool pkg; do toolpkg[$tool]=$pkg; done < <(scripts/install-deps.sh --tools)

misses=0
miss() { echo "check-deps: $*"; misses=$((misses + 1)); }

# 1. Programs the tests start.
while read -r tool; do
  [ -n "$tool" ] || continue
  [ -n "${toolpkg[$tool]:-}" ] || miss "the tests start \"$tool\", which install-deps.sh --tools does not list"
done < <(grep -rhoE 'command -v [A-Za-z0-9_./+-]+|toolMissing\("[^"]+"\)' tests 2>/dev/null |
         sed -E 's/^command -v //; s/^toolMissing\("//; s/"\)$//' | sort -u)

# The packages that installing the given ones brings, as apt chooses them:
# hard dependencies only, the first of each choice of alternatives, the first
# provider of a virtual package.
closure() {
  local -A seen=()
  local frontier=("$@") next p
  while [ ${#frontier[@]} -gt 0 ]; do
    next=()
    for p in "${frontier[@]}"; do seen[$p]=1; done
    while read -r p; do
      [ -n "$p" ] && [ -z "${seen[$p]:-}" ] && next+=("$p") && seen[$p]=1
    done < <(apt-cache depends --important "${frontier[@]}" 2>/dev/null | awk '
      /^[^ ]/ { inchoice = 0; next }
      /^ [ |](Pre)?Depends: / {
        name = $2
        if (!inchoice) { pick = name; want = (name ~ /^</) ? 1 : 0; if (!want) print name }
        inchoice = ($1 ~ /^\|/)
        next
      }
      /^    / { if (want) { print $1; want = 0 } }')
    frontier=("${next[@]}")
  done
  printf '%s\n' "${!seen[@]}" | sort
}
declare -A installed=()
while read -r p; do installed[$p]=1; done < <(closure "${packages[@]}")

# 2. Each tool comes with the listed packages and is there.
for tool in "${!toolpkg[@]}"; do
  pkg=${toolpkg[$tool]}
  [ -n "${installed[$pkg]:-}" ] || miss "\"$tool\" comes from $pkg, which install-deps.sh does not install"
  command -v "$tool" >/dev/null || miss "\"$tool\" is not on the PATH (package $pkg)"
done

# 3. Recommendations of the tools' packages and of everything they depend on.
mapfile -t toolpkgs < <(printf '%s\n' "${toolpkg[@]}" | sort -u)
while read -r rec; do
  [ -n "$rec" ] || continue
  case "$rec" in '<'*) continue ;; esac   # a virtual package that a real one provides
  [ -n "${listed[$rec]:-}" ] && continue
  [ -n "${installed[$rec]:-}" ] && continue
  [ -n "${waived[$rec]:-}" ] && continue
  miss "$rec is only recommended by a package the tests use; install-deps.sh installs without recommendations, so list it or waive it here"
done < <(apt-cache depends $(closure "${toolpkgs[@]}") 2>/dev/null |
         awk '/^  Recommends:/{print $2}' | sort -u)

if [ "$misses" -ne 0 ]; then
  exit 1
fi
echo "check-deps: ${#packages[@]} packages cover ${#toolpkg[@]} tools"
