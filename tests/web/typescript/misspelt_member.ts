// A misspelt member must not type-check: pw.ImageCont is no member of the
// control.
import Pagewell from "pagewell";

async function count(): Promise<number> {
  const pw = await Pagewell.connect();
  return await pw.ImageCont;
}

export { count };
