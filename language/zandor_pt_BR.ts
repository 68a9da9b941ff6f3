<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR" sourcelanguage="en">
<context>
    <name>CalibrationPanel</name>
    <message>
        <location filename="../spectrumwindow/calibrationpanel.cpp" line="+120" />
        <source>Peak at channel %1 (now %2 keV). Its line:</source>
        <translation>Pico no canal %1 (agora %2 keV). A sua linha:</translation>
    </message>
    <message>
        <location line="+3" />
        <source>Peak at channel %1. Its line:</source>
        <translation>Pico no canal %1. A sua linha:</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Click a peak in the plot, then name its line or choose it among the finder's candidates. Two or more peaks give the calibration.</source>
        <translation>Clique num pico do gráfico e dê o nome da sua linha ou escolha-a entre as candidatas do localizador. Dois ou mais picos dão a calibração.</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Fe Ka1</source>
        <translation>Fe Ka1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Assign</source>
        <translation>&amp;Atribuir</translation>
    </message>
    <message>
        <location line="+1" />
        <source>U&amp;ndo</source>
        <translation>&amp;Desfazer</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Channel</source>
        <translation>Canal</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Line</source>
        <translation>Linha</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Energy (eV)</source>
        <translation>Energia (eV)</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Residual (eV)</source>
        <translation>Resíduo (eV)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Energy = %1 eV + %2 eV × channel</source>
        <translation>Energia = %1 eV + %2 eV × canal</translation>
    </message>
    <message>
        <location line="+2" />
        <source>; RMS of the residuals %1 eV</source>
        <translation>; RMS dos resíduos %1 eV</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Uncalibrated: the plot shows channels.</source>
        <translation>Sem calibração: o gráfico mostra canais.</translation>
    </message>
</context>
<context>
    <name>CandidatesModel</name>
    <message>
        <location filename="../uicommon/candidatesmodel.cpp" line="+97" />
        <source>%1 escape (%2)</source>
        <translation>%1 escape (%2)</translation>
    </message>
    <message>
        <location line="+16" />
        <source>escape</source>
        <translation>escape</translation>
    </message>
    <message>
        <location line="+2" />
        <source>sum</source>
        <translation>soma</translation>
    </message>
    <message>
        <location line="+4" />
        <source>line</source>
        <translation>linha</translation>
    </message>
    <message>
        <location line="+21" />
        <source>%1: score %2</source>
        <translation>%1: pontuação %2</translation>
    </message>
    <message>
        <location line="+18" />
        <source>Element</source>
        <translation>Elemento</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Line</source>
        <translation>Linha</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Energy (keV)</source>
        <translation>Energia (keV)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>ΔE (eV)</source>
        <translation>ΔE (eV)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Relative intensity</source>
        <translation>Intensidade relativa</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Kind</source>
        <translation>Tipo</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Confirming lines</source>
        <translation>Linhas que confirmam</translation>
    </message>
</context>
<context>
    <name>DetectorBox</name>
    <message>
        <location filename="../uicommon/detectorbox.cpp" line="+167" />
        <source>&amp;Detector:</source>
        <translation>&amp;Detector:</translation>
    </message>
    <message>
        <location line="+1" />
        <source>FWHM at Mn Kα:</source>
        <translation>FWHM em Mn Kα:</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Beam energy:</source>
        <translation>Energia do &amp;feixe:</translation>
    </message>
    <message>
        <location line="+1" />
        <source>none</source>
        <translation>nenhuma</translation>
    </message>
    <message>
        <location line="+1" />
        <source>(from the spectrum file)</source>
        <translation>(do arquivo do espectro)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>The detector's material: silicon (SDD, Si(Li)), germanium or CdTe</source>
        <translation>O material do detector: silício (SDD, Si(Li)), germânio ou CdTe</translation>
    </message>
    <message>
        <location line="+1" />
        <source>The detector's resolution, as the full width at half maximum of Mn Kα</source>
        <translation>A resolução do detector, como a largura a meia altura de Mn Kα</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Lines whose shell's edge lies above the beam energy are not excited; 0: no limit</source>
        <translation>Linhas cuja borda de absorção fica acima da energia do feixe não são excitadas; 0: sem limite</translation>
    </message>
</context>
<context>
    <name>ElementPanel</name>
    <message>
        <location filename="../spectrumwindow/elementpanel.cpp" line="+121" />
        <source>Pinned elements keep their markers, and their strong lines' sum peaks are drawn dotted. Type symbols or atomic numbers:</source>
        <translation>Elementos fixados mantêm os seus marcadores, e os picos soma das suas linhas fortes aparecem pontilhados. Digite símbolos ou números atômicos:</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Fe Cu 29</source>
        <translation>Fe Cu 29</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Pin</source>
        <translation>&amp;Fixar</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Unpin</source>
        <translation>&amp;Soltar</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Pin the element on &amp;show</source>
        <translation>Fixar o elemento &amp;mostrado</translation>
    </message>
    <message>
        <location line="+1" />
        <source>The element under the pointer in the periodic table (key P in the plot)</source>
        <translation>O elemento sob o ponteiro na tabela periódica (tecla P no gráfico)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>No element with lines: %1</source>
        <translation>Nenhum elemento com linhas: %1</translation>
    </message>
</context>
<context>
    <name>FinderPanel</name>
    <message>
        <location filename="../spectrumwindow/finderpanel.cpp" line="+94" />
        <source>Candidates for the peak at %1 keV (channel %2):</source>
        <translation>Candidatas para o pico em %1 keV (canal %2):</translation>
    </message>
    <message>
        <location line="+3" />
        <source>The peak at channel %1 has no energy while the spectrum is uncalibrated: assign it a line in the calibration panel.</source>
        <translation>O pico no canal %1 não tem energia enquanto o espectro não está calibrado: atribua-lhe uma linha no painel de calibração.</translation>
    </message>
    <message>
        <location line="+4" />
        <source>Click a peak in the plot to list the lines, escape peaks and sum peaks that can explain it.</source>
        <translation>Clique num pico do gráfico para listar as linhas, os picos de escape e os picos soma que podem explicá-lo.</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Pin its element</source>
        <translation>&amp;Fixar o seu elemento</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Calibrate: the peak is this line</source>
        <translation>&amp;Calibrar: o pico é esta linha</translation>
    </message>
</context>
<context>
    <name>FinderWindow</name>
    <message>
        <location filename="../finderwindow/finderwindow.cpp" line="+131" />
        <source>Find lines by energy — Zandor</source>
        <translation>Localizar linhas por energia — Zandor</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Energy:</source>
        <translation>&amp;Energia:</translation>
    </message>
    <message>
        <location line="+1" />
        <source>6.4 keV, 6400 eV or 6.4</source>
        <translation>6.4 keV, 6400 eV ou 6.4</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Tolerance:</source>
        <translation>&amp;Tolerância:</translation>
    </message>
    <message>
        <location line="+1" />
        <source>one FWHM of the detector</source>
        <translation>uma FWHM do detector</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Elements &amp;present:</source>
        <translation>Elementos &amp;presentes:</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Fe, Cu: their strong lines form sum peaks</source>
        <translation>Fe, Cu: as suas linhas fortes formam picos soma</translation>
    </message>
    <message>
        <location line="+3" />
        <source>The energy %1.</source>
        <translation>A energia %1.</translation>
    </message>
    <message>
        <location line="+2" />
        <source>The tolerance %1.</source>
        <translation>A tolerância %1.</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Not elements, left out: %1.</source>
        <translation>Não são elementos, deixados de fora: %1.</translation>
    </message>
    <message numerus="yes">
        <location line="+2" />
        <source>%n candidate(s) near %1 keV (%2 eV), best first.</source>
        <translation>
            <numerusform>%n candidata perto de %1 keV (%2 eV), a melhor primeiro.</numerusform>
            <numerusform>%n candidatas perto de %1 keV (%2 eV), as melhores primeiro.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+4" />
        <source>Type the energy of a peak: a number with its unit, eV or keV; a bare number is keV.</source>
        <translation>Digite a energia de um pico: um número com a sua unidade, eV ou keV; um número sozinho é keV.</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <location filename="../mainwindow/form1_layout.cpp" line="+453" />
        <source>&amp;Tools</source>
        <translation>&amp;Ferramentas</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Open spectrum...</source>
        <translation>&amp;Abrir espectro...</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Find lines by energy...</source>
        <translation>&amp;Localizar linhas por energia...</translation>
    </message>
</context>
<context>
    <name>IdentifyPanel</name>
    <message>
        <location filename="../spectrumwindow/identifypanel.cpp" line="+131" />
        <source>&amp;Identify the peaks</source>
        <translation>&amp;Identificar os picos</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Name the elements of the active spectrum, pin them and label its peaks</source>
        <translation>Nomear os elementos do espectro ativo, fixá-los e rotular os seus picos</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Elements found (untick one to remove it, tick it to add it back):</source>
        <translation>Elementos encontrados (desmarque um para removê-lo, marque-o para trazê-lo de volta):</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Peaks:</source>
        <translation>Picos:</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Energy (keV)</source>
        <translation>Energia (keV)</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Counts</source>
        <translation>Contagens</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Significance</source>
        <translation>Significância</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Peak</source>
        <translation>Pico</translation>
    </message>
    <message>
        <location line="+15" />
        <source>Identify the peaks of the active spectrum: the elements that explain them are pinned and the peaks labelled, escape and sum peaks as such.</source>
        <translation>Identifique os picos do espectro ativo: os elementos que os explicam são fixados e os picos rotulados, os picos de escape e soma como tais.</translation>
    </message>
    <message>
        <location line="+6" />
        <source>%1: beam %2.</source>
        <translation>%1: feixe %2.</translation>
    </message>
    <message>
        <location line="+87" />
        <source>as set</source>
        <translation>como definida</translation>
    </message>
    <message>
        <location line="+3" />
        <source>from the file</source>
        <translation>do arquivo</translation>
    </message>
    <message>
        <location line="+3" />
        <source>estimated from the spectrum</source>
        <translation>estimada a partir do espectro</translation>
    </message>
    <message>
        <location line="-94" />
        <source>%1 kV</source>
        <translation>%1 kV</translation>
    </message>
    <message>
        <location line="+0" />
        <source>not known</source>
        <translation>desconhecido</translation>
    </message>
    <message>
        <location line="+4" />
        <source>none</source>
        <translation>nenhum</translation>
    </message>
    <message>
        <location line="+5" />
        <source>certain</source>
        <translation>certo</translation>
    </message>
    <message>
        <location line="+3" />
        <source>probable</source>
        <translation>provável</translation>
    </message>
    <message>
        <location line="+3" />
        <source>possible</source>
        <translation>possível</translation>
    </message>
    <message>
        <location line="+6" />
        <source>%1 — %2, %3 σ: %4</source>
        <translation>%1 — %2, %3 σ: %4</translation>
    </message>
    <message>
        <location line="+2" />
        <source>no line of its own</source>
        <translation>nenhuma linha própria</translation>
    </message>
    <message>
        <location line="+14" />
        <source>Escape peak of %1: the detector's %2 left it</source>
        <translation>Pico de escape de %1: o %2 do detector escapou</translation>
    </message>
    <message>
        <location line="+5" />
        <source>Sum peak: two photons counted as one</source>
        <translation>Pico soma: dois fótons contados como um</translation>
    </message>
    <message>
        <location line="+3" />
        <source>noise peak</source>
        <translation>pico de ruído</translation>
    </message>
    <message>
        <location line="+1" />
        <source>The detector's noise peak at zero energy</source>
        <translation>O pico de ruído do detector na energia zero</translation>
    </message>
    <message>
        <location line="+5" />
        <source>unexplained</source>
        <translation>sem explicação</translation>
    </message>
    <message>
        <location line="+46" />
        <source>the detector's usual; the spectrum did not show it</source>
        <translation>a habitual do detector; o espectro não a mostrou</translation>
    </message>
    <message>
        <location line="+4" />
        <source>Resolution: FWHM %1 eV at Mn Kα (%2).</source>
        <translation>Resolução: FWHM %1 eV em Mn Kα (%2).</translation>
    </message>
    <message>
        <location line="+5" />
        <source>Energies: as the file gives them; no peak stood alone to measure them.</source>
        <translation>Energias: como o arquivo as dá; nenhum pico isolado permitiu medi-las.</translation>
    </message>
    <message>
        <location line="+1" />
        <source>measured on 1 peak</source>
        <translation>medidas em 1 pico</translation>
    </message>
    <message>
        <location line="+0" />
        <source>measured on %1 peaks</source>
        <translation>medidas em %1 picos</translation>
    </message>
    <message>
        <location line="+3" />
        <source>Energies: as the file gives them, %1.</source>
        <translation>Energias: como o arquivo as dá, %1.</translation>
    </message>
    <message>
        <location line="+6" />
        <source>%1 eV %2 % E</source>
        <translation>%1 eV %2 % E</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1 %2 eV (E/keV)²</source>
        <translation>%1 %2 eV (E/keV)²</translation>
    </message>
    <message>
        <location line="+6" />
        <location line="+5" />
        <source>%1 eV at %2 keV</source>
        <translation>%1 eV em %2 keV</translation>
    </message>
    <message>
        <location line="-4" />
        <source>Energies, %1: a line at E shows %2 off its energy (%3).</source>
        <translation>Energias, %1: uma linha em E aparece deslocada %2 da sua energia (%3).</translation>
    </message>
    <message>
        <location line="+6" />
        <source>Below 1 keV, where the response is least linear: %1.</source>
        <translation>Abaixo de 1 keV, onde a resposta é menos linear: %1.</translation>
    </message>
    <message>
        <location line="+10" />
        <source>No beam energy (Detector tab): every line counts as excited, and the families of an element are weighed freely.</source>
        <translation>Sem energia do feixe (aba Detector): toda linha conta como excitada, e as famílias de um elemento são pesadas livremente.</translation>
    </message>
    <message>
        <location line="+3" />
        <source>No peaks: too few channels in the X-ray range.</source>
        <translation>Nenhum pico: poucos canais na faixa de raios X.</translation>
    </message>
    <message>
        <location line="+2" />
        <source>No peaks: the spectrum holds no counts.</source>
        <translation>Nenhum pico: o espectro não tem contagens.</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Counts above 1e15 a channel are no photon counts: scaled down before looking for peaks.</source>
        <translation>Contagens acima de 1e15 por canal não são contagens de fótons: reduzidas antes da busca de picos.</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Channels summed in groups of %1, much narrower than the detector's resolution.</source>
        <translation>Canais somados em grupos de %1, muito mais estreitos que a resolução do detector.</translation>
    </message>
    <message>
        <location line="+2" />
        <source>An X-ray fluorescence spectrum: the families of an element are weighed freely, and its deeper subshells may fall short.</source>
        <translation>Um espectro de fluorescência de raios X: as famílias de um elemento são pesadas livremente, e suas subcamadas mais profundas podem ficar aquém.</translation>
    </message>
    <message>
        <location line="+3" />
        <source>No peaks: the spectrum is flat (nothing stands out from its noise).</source>
        <translation>Nenhum pico: o espectro é plano (nada se destaca do seu ruído).</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Stopped after %1 elements and %2 peaks tried: the spectrum is not one this method can take apart.</source>
        <translation>Parou após %1 elementos e %2 picos tentados: este método não consegue decompor o espectro.</translation>
    </message>
    <message>
        <location line="+5" />
        <source>The rise at %1 keV is the continuum's step at the %2 absorption edge of the detector's window or crystal, not a peak.</source>
        <translation>A subida em %1 keV é o degrau do contínuo na borda de absorção de %2 da janela ou do cristal do detector, não um pico.</translation>
    </message>
    <message>
        <location line="+6" />
        <source>1 peak left unexplained.</source>
        <translation>1 pico ficou sem explicação.</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1 peaks left unexplained.</source>
        <translation>%1 picos ficaram sem explicação.</translation>
    </message>
    <message>
        <location line="+11" />
        <source>%1 (fits less well)</source>
        <translation>%1 (ajusta-se pior)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1 (its %2 at %3 keV is missing)</source>
        <translation>%1 (falta a sua %2 em %3 keV)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1 (its line at %2 keV is missing)</source>
        <translation>%1 (falta a sua linha em %2 keV)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1 (its %2 at %3 keV is not seen)</source>
        <translation>%1 (a sua %2 em %3 keV não aparece)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1 (its line at %2 keV is not seen)</source>
        <translation>%1 (a sua linha em %2 keV não aparece)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1 (fits the peak poorly)</source>
        <translation>%1 (ajusta-se mal ao pico)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1 (the elements found explain it as well)</source>
        <translation>%1 (os elementos encontrados o explicam igualmente)</translation>
    </message>
    <message>
        <location line="+12" />
        <source>Required: known to be in the sample</source>
        <translation>Exigido: sabe-se que está na amostra</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Required; its lines are not seen</source>
        <translation>Exigido; as suas linhas não aparecem</translation>
    </message>
    <message>
        <location line="+4" />
        <source>The peak at %1 keV is its %2</source>
        <translation>O pico em %1 keV é a sua %2</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Taken for the peak at %1 keV</source>
        <translation>Escolhido para o pico em %1 keV</translation>
    </message>
    <message>
        <location line="+4" />
        <source>%1 at %2 keV</source>
        <translation>%1 em %2 keV</translation>
    </message>
    <message>
        <location line="+0" />
        <location line="+49" />
        <source>a line</source>
        <translation>uma linha</translation>
    </message>
    <message>
        <location line="-45" />
        <source>%1 and %2</source>
        <translation>%1 e %2</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location line="+3" />
        <source>%1, with %2</source>
        <translation>%1, com %2</translation>
    </message>
    <message>
        <location line="+5" />
        <source>%1; rather than %2</source>
        <translation>%1; em vez de %2</translation>
    </message>
    <message>
        <location line="+11" />
        <source>Below %1 keV, in the noise peak's reach, where no line is looked for</source>
        <translation>Abaixo de %1 keV, ao alcance do pico de ruído, onde nenhuma linha é procurada</translation>
    </message>
    <message>
        <location line="+2" />
        <source>The beam scattered by the sample (Rayleigh, at the beam energy), no element's line</source>
        <translation>O feixe espalhado pela amostra (Rayleigh, na energia do feixe), nenhuma linha de elemento</translation>
    </message>
    <message>
        <location line="+2" />
        <source>The beam scattered by the sample (Compton, below the beam energy), no element's line</source>
        <translation>O feixe espalhado pela amostra (Compton, abaixo da energia do feixe), nenhuma linha de elemento</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Wider than a line: the shape of the continuum, or scattered radiation</source>
        <translation>Mais largo que uma linha: a forma do contínuo, ou radiação espalhada</translation>
    </message>
    <message>
        <location line="+2" />
        <source>No element has a line there that fits</source>
        <translation>Nenhum elemento tem ali uma linha que se ajuste</translation>
    </message>
    <message>
        <location line="+5" />
        <source>Tried %1</source>
        <translation>Tentados: %1</translation>
    </message>
    <message>
        <location line="+3" />
        <source>No element found explains it</source>
        <translation>Nenhum elemento encontrado o explica</translation>
    </message>
    <message>
        <location line="+2" />
        <source>The elements found explain only part of it</source>
        <translation>Os elementos encontrados explicam só parte dele</translation>
    </message>
    <message>
        <location line="+9" />
        <source>%1 of the detector itself (internal fluorescence)</source>
        <translation>%1 do próprio detector (fluorescência interna)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>the tube's %1 scattered by the sample (Rayleigh)</source>
        <translation>a linha %1 do tubo espalhada pela amostra (Rayleigh)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>the tube's %1 scattered by the sample (Compton)</source>
        <translation>a linha %1 do tubo espalhada pela amostra (Compton)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>escape peak of %1</source>
        <translation>pico de escape de %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1, no element of the sample</source>
        <translation>%1, nenhum elemento da amostra</translation>
    </message>
</context>
<context>
    <name>SpectrumWindow</name>
    <message>
        <location filename="../spectrumwindow/spectrumwindow_files.cpp" line="+97" />
        <location filename="../app/spectrumtools.cpp" line="+86" />
        <source>Open spectrum</source>
        <translation>Abrir espectro</translation>
    </message>
    <message>
        <location filename="../spectrumwindow/spectrumwindow.cpp" line="+232" />
        <source>Spectra — Zandor</source>
        <translation>Espectros — Zandor</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Spectrum tools</source>
        <translation>Ferramentas do espectro</translation>
    </message>
    <message>
        <location line="+1" />
        <source> &amp;Counts: </source>
        <translation> &amp;Contagens: </translation>
    </message>
    <message>
        <location line="+1" />
        <source>linear</source>
        <translation>linear</translation>
    </message>
    <message>
        <location line="+1" />
        <source>logarithmic</source>
        <translation>logarítmica</translation>
    </message>
    <message>
        <location line="+1" />
        <source>square root</source>
        <translation>raiz quadrada</translation>
    </message>
    <message>
        <location line="+1" />
        <source> &amp;Normalised by: </source>
        <translation> &amp;Normalizado por: </translation>
    </message>
    <message>
        <location line="+1" />
        <source>none</source>
        <translation>nada</translation>
    </message>
    <message>
        <location line="+1" />
        <source>live time</source>
        <translation>tempo vivo</translation>
    </message>
    <message>
        <location line="+1" />
        <source>area</source>
        <translation>área</translation>
    </message>
    <message>
        <location line="+1" />
        <source>maximum</source>
        <translation>máximo</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Remove spectrum</source>
        <translation>&amp;Remover espectro</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Spectra</source>
        <translation>Espectros</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Elements</source>
        <translation>Elementos</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Finder</source>
        <translation>Localizador</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Calibration</source>
        <translation>Calibração</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Detector</source>
        <translation>Detector</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Identification</source>
        <translation>Identificação</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;File</source>
        <translation>&amp;Arquivo</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Open spectrum...</source>
        <translation>&amp;Abrir espectro...</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Open &amp;recent</source>
        <translation>Abrir &amp;recente</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Export plot as &amp;PNG...</source>
        <translation>Exportar gráfico como &amp;PNG...</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Export plot as &amp;SVG...</source>
        <translation>Exportar gráfico como &amp;SVG...</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Export spectrum as &amp;EMSA/MSA...</source>
        <translation>Exportar espectro como &amp;EMSA/MSA...</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Export spectrum as &amp;CSV...</source>
        <translation>Exportar espectro como &amp;CSV...</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Close</source>
        <translation>&amp;Fechar</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;View</source>
        <translation>&amp;Exibir</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Whole spectrum</source>
        <translation>Espectro &amp;inteiro</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Show the whole spectrum (Home, or a double-click in the plot)</source>
        <translation>Mostrar o espectro inteiro (Home, ou um duplo clique no gráfico)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Pin the element on show</source>
        <translation>&amp;Fixar o elemento mostrado</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Identify</source>
        <translation>&amp;Identificar</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Name the elements of the active spectrum, pin them and label its peaks (Ctrl+I)</source>
        <translation>Nomear os elementos do espectro ativo, fixá-los e rotular os seus picos (Ctrl+I)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Open a spectrum (Ctrl+O) or drop spectrum files here.
Then point at the periodic table to see an element's lines.</source>
        <translation>Abra um espectro (Ctrl+O) ou solte arquivos de espectro aqui.
Depois aponte a tabela periódica para ver as linhas de um elemento.</translation>
    </message>
    <message>
        <location line="+65" />
        <source>Counts</source>
        <translation>Contagens</translation>
    </message>
    <message>
        <location line="+3" />
        <source>Counts per second of live time</source>
        <translation>Contagens por segundo de tempo vivo</translation>
    </message>
    <message>
        <location line="+3" />
        <source>Share of all counts</source>
        <translation>Fração de todas as contagens</translation>
    </message>
    <message>
        <location line="+3" />
        <source>Share of the highest count</source>
        <translation>Fração da maior contagem</translation>
    </message>
    <message>
        <location line="+3" />
        <source>Energy (keV)</source>
        <translation>Energia (keV)</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Channel</source>
        <translation>Canal</translation>
    </message>
    <message>
        <location line="+4" />
        <source>Uncalibrated: the plot shows channels and no markers until the spectrum is calibrated.</source>
        <translation>Sem calibração: o gráfico mostra canais e nenhum marcador até o espectro ser calibrado.</translation>
    </message>
    <message>
        <location line="+4" />
        <source>%1 has no live time: not normalised.</source>
        <translation>%1 não tem tempo vivo: não normalizado.</translation>
    </message>
    <message>
        <location line="+104" />
        <source>%1 keV   channel %2   counts %3</source>
        <translation>%1 keV   canal %2   contagens %3</translation>
    </message>
    <message>
        <location line="+2" />
        <source>channel %1   counts %2</source>
        <translation>canal %1   contagens %2</translation>
    </message>
    <message>
        <location filename="../spectrumwindow/spectrumwindow_calibration.cpp" line="+32" />
        <source>Click a peak in the plot first.</source>
        <translation>Clique primeiro num pico do gráfico.</translation>
    </message>
    <message>
        <location line="+10" />
        <source>'%1' names no line: write an element and a line, as in 'Fe Ka1' or 'Cu KL3'.</source>
        <translation>'%1' não nomeia uma linha: escreva um elemento e uma linha, como 'Fe Ka1' ou 'Cu KL3'.</translation>
    </message>
    <message>
        <location line="+8" />
        <source>Choose a candidate in the finder, or type the line.</source>
        <translation>Escolha uma candidata no localizador, ou digite a linha.</translation>
    </message>
    <message>
        <location line="+4" />
        <source>Calibrate with lines: an escape or a sum peak depends on the detector.</source>
        <translation>Calibre com linhas: um pico de escape ou soma depende do detector.</translation>
    </message>
    <message>
        <location line="+9" />
        <source>The peak at channel %1 is already assigned %2: two lines at one channel say nothing about the gain. Undo that assignment, or pick another peak.</source>
        <translation>O pico no canal %1 já tem a linha %2: duas linhas num só canal nada dizem sobre o ganho. Desfaça essa atribuição ou escolha outro pico.</translation>
    </message>
    <message>
        <location line="+12" />
        <source>Not calibrated: %1.</source>
        <translation>Não calibrado: %1.</translation>
    </message>
    <message>
        <location filename="../spectrumwindow/spectrumwindow_files.cpp" line="-53" />
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location line="+9" />
        <source>%1: the folder holds no spectrum files (%2)</source>
        <translation>%1: a pasta não contém arquivos de espectro (%2)</translation>
    </message>
    <message>
        <location line="+4" />
        <source>This file could not be opened:</source>
        <translation>Este arquivo não pôde ser aberto:</translation>
    </message>
    <message numerus="yes">
        <location line="+1" />
        <source>These %n files could not be opened:</source>
        <translation>
            <numerusform>Este arquivo não pôde ser aberto:</numerusform>
            <numerusform>Estes %n arquivos não puderam ser abertos:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3" />
        <source>... and %n more.</source>
        <translation>
            <numerusform>... e mais %n.</numerusform>
            <numerusform>... e mais %n.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+1" />
        <location line="+81" />
        <location line="+39" />
        <source>Zandor</source>
        <translation>Zandor</translation>
    </message>
    <message>
        <location line="-67" />
        <source>(none)</source>
        <translation>(nenhum)</translation>
    </message>
    <message>
        <location line="+13" />
        <location line="+7" />
        <source>there is no spectrum to write</source>
        <translation>não há espectro para gravar</translation>
    </message>
    <message>
        <location line="+8" />
        <source>Open a spectrum first.</source>
        <translation>Abra primeiro um espectro.</translation>
    </message>
    <message>
        <location line="+10" />
        <source>Export plot as PNG</source>
        <translation>Exportar gráfico como PNG</translation>
    </message>
    <message>
        <location line="+0" />
        <source>PNG image (*.png)</source>
        <translation>Imagem PNG (*.png)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Export plot as SVG</source>
        <translation>Exportar gráfico como SVG</translation>
    </message>
    <message>
        <location line="+0" />
        <source>SVG drawing (*.svg)</source>
        <translation>Desenho SVG (*.svg)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Export spectrum as EMSA/MSA</source>
        <translation>Exportar espectro como EMSA/MSA</translation>
    </message>
    <message>
        <location line="+0" />
        <source>EMSA/MSA spectrum (*.msa *.emsa)</source>
        <translation>Espectro EMSA/MSA (*.msa *.emsa)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Export spectrum as CSV</source>
        <translation>Exportar espectro como CSV</translation>
    </message>
    <message>
        <location line="+0" />
        <source>CSV table (*.csv)</source>
        <translation>Tabela CSV (*.csv)</translation>
    </message>
    <message>
        <location line="+26" />
        <source>%1 could not be written: %2</source>
        <translation>%1 não pôde ser gravado: %2</translation>
    </message>
    <message>
        <location filename="../spectrumwindow/spectrumwindow_markers.cpp" line="+224" />
        <source>channel %1</source>
        <translation>canal %1</translation>
    </message>
    <message>
        <location filename="../spectrumwindow/spectrumwindow_identify.cpp" line="+23" />
        <source>Open a spectrum to identify its peaks.</source>
        <translation>Abra um espectro para identificar os seus picos.</translation>
    </message>
    <message>
        <location line="+5" />
        <source>The spectrum is not calibrated: calibrate it (Calibration tab) before identifying its peaks.</source>
        <translation>O espectro não está calibrado: calibre-o (aba Calibração) antes de identificar os seus picos.</translation>
    </message>
</context>
<context>
    <name>errortext</name>
    <message>
        <location filename="../uicommon/errortext.cpp" line="+16" />
        <source>No error</source>
        <translation>sem erro</translation>
    </message>
    <message>
        <location line="+1" />
        <source>File was not found</source>
        <translation>o arquivo não foi encontrado</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Error reading from file/stream</source>
        <translation>erro ao ler o arquivo</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Could not allocate memory</source>
        <translation>não foi possível alocar memória</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Internal error occurred</source>
        <translation>ocorreu um erro interno</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Could not determine tag type</source>
        <translation>não foi possível determinar o tipo da marca</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Error parsing document declaration/processing instruction</source>
        <translation>erro na declaração do documento ou numa instrução de processamento</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Error parsing comment</source>
        <translation>erro num comentário</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Error parsing CDATA section</source>
        <translation>erro numa seção CDATA</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Error parsing document type declaration</source>
        <translation>erro na declaração do tipo do documento</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Error parsing PCDATA section</source>
        <translation>erro numa seção PCDATA</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Error parsing start element tag</source>
        <translation>erro na marca de abertura de um elemento</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Error parsing element attribute</source>
        <translation>erro num atributo de um elemento</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Error parsing end element tag</source>
        <translation>erro na marca de fechamento de um elemento</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Start-end tags mismatch</source>
        <translation>as marcas de abertura e de fechamento não correspondem</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Unable to append nodes: root is not an element or document</source>
        <translation>não foi possível acrescentar nós: a raiz não é um elemento nem um documento</translation>
    </message>
    <message>
        <location line="+1" />
        <source>No document element found</source>
        <translation>nenhum elemento raiz encontrado</translation>
    </message>
    <message>
        <location line="+8" />
        <source>no such file or directory</source>
        <translation>arquivo ou diretório inexistente</translation>
    </message>
    <message>
        <location line="+1" />
        <source>permission denied</source>
        <translation>permissão negada</translation>
    </message>
    <message>
        <location line="+1" />
        <source>operation not permitted</source>
        <translation>operação não permitida</translation>
    </message>
    <message>
        <location line="+1" />
        <source>is a directory</source>
        <translation>é um diretório</translation>
    </message>
    <message>
        <location line="+1" />
        <source>not a directory</source>
        <translation>não é um diretório</translation>
    </message>
    <message>
        <location line="+1" />
        <source>no space left on device</source>
        <translation>não há espaço livre no dispositivo</translation>
    </message>
    <message>
        <location line="+1" />
        <source>disk quota exceeded</source>
        <translation>cota de disco excedida</translation>
    </message>
    <message>
        <location line="+1" />
        <source>read-only file system</source>
        <translation>sistema de arquivos somente para leitura</translation>
    </message>
    <message>
        <location line="+1" />
        <source>input/output error</source>
        <translation>erro de entrada/saída</translation>
    </message>
    <message>
        <location line="+1" />
        <source>file name too long</source>
        <translation>nome de arquivo longo demais</translation>
    </message>
    <message>
        <location line="+1" />
        <source>too many levels of symbolic links</source>
        <translation>níveis demais de links simbólicos</translation>
    </message>
    <message>
        <location line="+1" />
        <source>too many open files</source>
        <translation>arquivos abertos demais</translation>
    </message>
    <message>
        <location line="+1" />
        <source>too many open files in system</source>
        <translation>arquivos abertos demais no sistema</translation>
    </message>
    <message>
        <location line="+1" />
        <source>cannot allocate memory</source>
        <translation>não foi possível alocar memória</translation>
    </message>
    <message>
        <location line="+1" />
        <source>file too large</source>
        <translation>arquivo grande demais</translation>
    </message>
    <message>
        <location line="+1" />
        <source>device or resource busy</source>
        <translation>dispositivo ou recurso ocupado</translation>
    </message>
    <message>
        <location line="+1" />
        <source>file exists</source>
        <translation>o arquivo já existe</translation>
    </message>
    <message>
        <location line="+1" />
        <source>no such device or address</source>
        <translation>dispositivo ou endereço inexistente</translation>
    </message>
    <message>
        <location line="+1" />
        <source>no such device</source>
        <translation>dispositivo inexistente</translation>
    </message>
    <message>
        <location line="+1" />
        <source>resource temporarily unavailable</source>
        <translation>recurso temporariamente indisponível</translation>
    </message>
    <message>
        <location line="+1" />
        <source>invalid argument</source>
        <translation>argumento inválido</translation>
    </message>
    <message>
        <location line="+38" />
        <source>a directory, not a spectrum file</source>
        <translation>uma pasta, não um arquivo de espectro</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a directory, not a file</source>
        <translation>uma pasta, não um arquivo</translation>
    </message>
    <message>
        <location line="+1" />
        <source>not a regular file (a device, pipe or socket)</source>
        <translation>não é um arquivo comum (um dispositivo, pipe ou socket)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the file is %1 MB; a spectrum file can be at most %2 MB</source>
        <translation>o arquivo tem %1 MB; um arquivo de espectro pode ter no máximo %2 MB</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the file grew past %1 MB while it was read</source>
        <translation>o arquivo passou de %1 MB enquanto era lido</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the file is empty</source>
        <translation>o arquivo está vazio</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the file holds only blanks</source>
        <translation>o arquivo só contém espaços em branco</translation>
    </message>
    <message>
        <location line="+1" />
        <source>UTF-16 or UTF-32 text; save the spectrum as UTF-8 or 8-bit text</source>
        <translation>texto UTF-16 ou UTF-32; salve o espectro como texto UTF-8 ou de 8 bits</translation>
    </message>
    <message>
        <location line="+1" />
        <source>UTF-32 text; save the spectrum as UTF-8 or 8-bit text</source>
        <translation>texto UTF-32; salve o espectro como texto UTF-8 ou de 8 bits</translation>
    </message>
    <message>
        <location line="+1" />
        <source>binary data, not a spectrum file</source>
        <translation>dados binários, não um arquivo de espectro</translation>
    </message>
    <message>
        <location line="+1" />
        <source>not a spectrum: no line of numbers</source>
        <translation>não é um espectro: nenhuma linha de números</translation>
    </message>
    <message>
        <location line="+1" />
        <source>unknown format</source>
        <translation>formato desconhecido</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the file is cut short: it ends before byte %1</source>
        <translation>o arquivo está truncado: termina antes do byte %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the file is cut short: it ends at byte %1, before byte %2</source>
        <translation>o arquivo está truncado: termina no byte %1, antes do byte %2</translation>
    </message>
    <message>
        <location line="+1" />
        <source>cancelled</source>
        <translation>cancelado</translation>
    </message>
    <message>
        <location line="+1" />
        <source>not enough memory</source>
        <translation>memória insuficiente</translation>
    </message>
    <message>
        <location line="+2" />
        <source>a calibration needs at least two peaks of known energy, not %1</source>
        <translation>uma calibração precisa de pelo menos dois picos de energia conhecida, não %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a calibration point is not a finite number</source>
        <translation>um ponto da calibração não é um número finito</translation>
    </message>
    <message>
        <location line="+2" />
        <source>the peaks all lie at the same channel, which says nothing about the gain: assign lines to peaks at two different channels</source>
        <translation>os picos estão todos no mesmo canal, o que nada diz sobre o ganho: atribua linhas a picos em dois canais diferentes</translation>
    </message>
    <message>
        <location line="+3" />
        <source>the energies do not rise with the channel (the gain would be zero or negative): check the lines assigned to the peaks</source>
        <translation>as energias não crescem com o canal (o ganho seria zero ou negativo): verifique as linhas atribuídas aos picos</translation>
    </message>
    <message>
        <location line="+2" />
        <source>the calibration points are too far apart to fit</source>
        <translation>os pontos da calibração estão afastados demais para o ajuste</translation>
    </message>
    <message>
        <location line="+2" />
        <source>this line is neither an EMSA keyword (#NAME: value) nor data: %1</source>
        <translation>esta linha não é nem uma palavra-chave EMSA (#NOME: valor) nem dados: %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>#%1 must be a finite number, not %2</source>
        <translation>#%1 deve ser um número finito, não %2</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a second #SPECTRUM after the data</source>
        <translation>um segundo #SPECTRUM depois dos dados</translation>
    </message>
    <message>
        <location line="+1" />
        <source>#DATATYPE must be Y or XY, not %1</source>
        <translation>#DATATYPE deve ser Y ou XY, não %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the data hold text where a number should be: %1</source>
        <translation>os dados contêm texto onde deveria haver um número: %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>an XY data line holds pairs of energy and counts, not %1 numbers</source>
        <translation>uma linha de dados XY contém pares de energia e contagens, não %1 números</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a header but no data: no #SPECTRUM line and no counts</source>
        <translation>um cabeçalho mas nenhum dado: nem linha #SPECTRUM nem contagens</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a header but no data: no counts after #SPECTRUM</source>
        <translation>um cabeçalho mas nenhum dado: nenhuma contagem depois de #SPECTRUM</translation>
    </message>
    <message>
        <location line="+1" />
        <source>#XPERCHAN must be above zero</source>
        <translation>#XPERCHAN deve ser maior que zero</translation>
    </message>
    <message>
        <location line="+1" />
        <source>#OFFSET is too large</source>
        <translation>#OFFSET é grande demais</translation>
    </message>
    <message>
        <location line="+1" />
        <source>no #XPERCHAN, and the energies of the data give no calibration: %1</source>
        <translation>sem #XPERCHAN, e as energias dos dados não dão calibração: %1</translation>
    </message>
    <message>
        <location line="+2" />
        <source>the XML declares the encoding %1; spx files are read in UTF-8 or Windows-1252</source>
        <translation>o XML declara a codificação %1; os arquivos spx são lidos em UTF-8 ou Windows-1252</translation>
    </message>
    <message>
        <location line="+1" />
        <source>not well-formed XML: %1</source>
        <translation>XML malformado: %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>an XML file, but not a Bruker spectrum: its root element is %1, not TRTSpectrum</source>
        <translation>um arquivo XML, mas não um espectro Bruker: o seu elemento raiz é %1, não TRTSpectrum</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a Bruker file without a spectrum (no ClassInstance of Type TRTSpectrum)</source>
        <translation>um arquivo Bruker sem espectro (nenhum ClassInstance de Type TRTSpectrum)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a Bruker spectrum without counts (no Channels element)</source>
        <translation>um espectro Bruker sem contagens (nenhum elemento Channels)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Channels holds an empty value between two commas</source>
        <translation>Channels contém um valor vazio entre duas vírgulas</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Channels holds text where a number should be: %1</source>
        <translation>Channels contém texto onde deveria haver um número: %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a header but no data: Channels is empty</source>
        <translation>um cabeçalho mas nenhum dado: Channels está vazio</translation>
    </message>
    <message>
        <location line="+1" />
        <source>CalibLin, the gain, must be above zero</source>
        <translation>CalibLin, o ganho, deve ser maior que zero</translation>
    </message>
    <message>
        <location line="+2" />
        <source>counts must be finite numbers, not %1</source>
        <translation>as contagens devem ser números finitos, não %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>more than %1 channels</source>
        <translation>mais de %1 canais</translation>
    </message>
    <message>
        <location line="+2" />
        <source>counts and energies must be finite numbers, not %1</source>
        <translation>as contagens e as energias devem ser números finitos, não %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>text where a number should be: %1</source>
        <translation>texto onde deveria haver um número: %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a line of a two-column spectrum holds one number, not an energy and a count</source>
        <translation>uma linha de um espectro de duas colunas contém um só número, não uma energia e uma contagem</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a line of a two-column spectrum holds more than an energy and a count</source>
        <translation>uma linha de um espectro de duas colunas contém mais que uma energia e uma contagem</translation>
    </message>
    <message>
        <location line="+1" />
        <source>no data: not a spectrum</source>
        <translation>nenhum dado: não é um espectro</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a header but no data</source>
        <translation>um cabeçalho mas nenhum dado</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the energies give no calibration: %1</source>
        <translation>as energias não dão calibração: %1</translation>
    </message>
    <message>
        <location line="+2" />
        <source>no file name</source>
        <translation>nenhum nome de arquivo</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a directory of that name exists</source>
        <translation>existe uma pasta com esse nome</translation>
    </message>
    <message>
        <location line="+1" />
        <source>cannot create a file in %1: %2</source>
        <translation>não foi possível criar um arquivo em %1: %2</translation>
    </message>
    <message>
        <location line="+1" />
        <source>cannot create a temporary file in %1</source>
        <translation>não foi possível criar um arquivo temporário em %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>cannot write: %1</source>
        <translation>não foi possível gravar: %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>cannot replace the file: %1</source>
        <translation>não foi possível substituir o arquivo: %1</translation>
    </message>
    <message>
        <location line="+3" />
        <source>the spectrum is not calibrated: its channels have no energies, so its peaks cannot be named (calibrate it first, from two known peaks)</source>
        <translation>o espectro não está calibrado: os seus canais não têm energias, por isso os seus picos não podem ser nomeados (calibre-o primeiro, a partir de dois picos conhecidos)</translation>
    </message>
    <message>
        <location line="+3" />
        <source>an image of %1 × %2 pixels holds nothing</source>
        <translation>uma imagem de %1 × %2 pixels não contém nada</translation>
    </message>
    <message>
        <location line="+1" />
        <source>spectra of 0 channels</source>
        <translation>espectros de 0 canais</translation>
    </message>
    <message>
        <location line="+1" />
        <source>an image of %1 × %2 pixels; a side can be at most %3 pixels</source>
        <translation>uma imagem de %1 × %2 pixels; um lado pode ter no máximo %3 pixels</translation>
    </message>
    <message>
        <location line="+1" />
        <source>an image of %1 × %2 pixels; at most 2^32 pixels are read</source>
        <translation>uma imagem de %1 × %2 pixels; são lidos no máximo 2^32 pixels</translation>
    </message>
    <message>
        <location line="+1" />
        <source>spectra of %1 channels; at most %2 are read</source>
        <translation>espectros de %1 canais; são lidos no máximo %2</translation>
    </message>
    <message>
        <location line="+1" />
        <source>not enough memory for the whole cube (%1 × %2 pixels × %3 channels, %4)</source>
        <translation>memória insuficiente para o cubo inteiro (%1 × %2 pixels × %3 canais, %4)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1 bytes for a cube of %2 × %3 pixels × %4 channels of %5 (%6 bytes)</source>
        <translation>%1 bytes para um cubo de %2 × %3 pixels × %4 canais de %5 (%6 bytes)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>pixels %1 to %2 are outside the image of %3 pixels</source>
        <translation>os pixels %1 a %2 estão fora da imagem de %3 pixels</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a buffer of %1 bytes for %2 pixels of %3 bytes</source>
        <translation>uma memória de %1 bytes para %2 pixels de %3 bytes</translation>
    </message>
    <message>
        <location line="+1" />
        <source>pixel %1, %2 holds a count that is not a finite number in channel %3</source>
        <translation>o pixel %1, %2 contém uma contagem que não é um número finito no canal %3</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the counts add up past the largest number a double holds</source>
        <translation>as contagens somam mais que o maior número que um double comporta</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the rectangle %1,%2 to %3,%4 holds no pixel</source>
        <translation>o retângulo %1,%2 a %3,%4 não contém nenhum pixel</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the rectangle %1,%2 to %3,%4 reaches outside the image of %5 × %6 pixels</source>
        <translation>o retângulo %1,%2 a %3,%4 sai da imagem de %5 × %6 pixels</translation>
    </message>
    <message>
        <location line="+1" />
        <source>pixel %1, %2 is outside the image of %3 × %4 pixels</source>
        <translation>o pixel %1, %2 está fora da imagem de %3 × %4 pixels</translation>
    </message>
    <message>
        <location line="+2" />
        <source>not a Bruker bcf file (too short for its signature)</source>
        <translation>não é um arquivo bcf da Bruker (curto demais para a sua assinatura)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>not a Bruker bcf file (no AAMVHFSS signature)</source>
        <translation>não é um arquivo bcf da Bruker (sem a assinatura AAMVHFSS)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the file is cut short within its header (%1 bytes)</source>
        <translation>o arquivo está truncado dentro do seu cabeçalho (%1 bytes)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a container chunk size of %1 bytes (%2 to %3 are read)</source>
        <translation>um bloco de contêiner de %1 bytes (são lidos de %2 a %3)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the container's file table is empty</source>
        <translation>a tabela de arquivos do contêiner está vazia</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the container's file table of %1 entries does not fit in the file (cut short?)</source>
        <translation>a tabela de arquivos do contêiner, de %1 entradas, não cabe no arquivo (truncado?)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>the container's file table points to chunk %1, past the end of the file (cut short?)</source>
        <translation>a tabela de arquivos do contêiner aponta para o bloco %1, além do fim do arquivo (truncado?)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the container's entry %1 names a directory (%2) that does not exist</source>
        <translation>a entrada %1 do contêiner indica uma pasta (%2) que não existe</translation>
    </message>
    <message>
        <location line="+2" />
        <source>the container's entry %1 lies in a directory that is not one, or in a loop of directories</source>
        <translation>a entrada %1 do contêiner está numa pasta que não é pasta, ou num ciclo de pastas</translation>
    </message>
    <message>
        <location line="+2" />
        <source>the container's chunk list of %1 points to chunk %2, past the end of the file (cut short?)</source>
        <translation>a lista de blocos de %1 no contêiner aponta para o bloco %2, além do fim do arquivo (truncado?)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the chunk list of %1 points to chunk %2, past the end of the file (cut short?)</source>
        <translation>a lista de blocos de %1 aponta para o bloco %2, além do fim do arquivo (truncado?)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1 is a directory</source>
        <translation>%1 é uma pasta</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1 claims %2 bytes, more than the file holds (cut short?)</source>
        <translation>%1 declara %2 bytes, mais do que o arquivo contém (truncado?)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1 ends at byte %2, before byte %3</source>
        <translation>%1 termina no byte %2, antes do byte %3</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1 is compressed in blocks of %2 bytes (1 to %3 are read)</source>
        <translation>%1 está comprimido em blocos de %2 bytes (são lidos de 1 a %3)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1 claims %2 compressed blocks, more than it holds (cut short?)</source>
        <translation>%1 declara %2 blocos comprimidos, mais do que contém (truncado?)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1 is cut short in its compressed block %2 of %3</source>
        <translation>%1 está truncado no seu bloco comprimido %2 de %3</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1's compressed block %2 claims %3 bytes that decompress to %4 (blocks are 1 to %5 bytes)</source>
        <translation>o bloco comprimido %2 de %1 declara %3 bytes que se descomprimem em %4 (os blocos têm de 1 a %5 bytes)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1's compressed block %2 %3</source>
        <translation>bloco comprimido %2 de %1: %3</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1 is %2 bytes; at most %3 are read</source>
        <translation>%1 tem %2 bytes; são lidos no máximo %3</translation>
    </message>
    <message>
        <location line="+2" />
        <source>a compressed block of more than 4 GiB</source>
        <translation>um bloco comprimido de mais de 4 GiB</translation>
    </message>
    <message>
        <location line="+1" />
        <source>zlib cannot start</source>
        <translation>o zlib não consegue iniciar</translation>
    </message>
    <message>
        <location line="+1" />
        <source>decompresses to %1 bytes, not the %2 its header gives</source>
        <translation>descomprime-se em %1 bytes, não nos %2 que o seu cabeçalho indica</translation>
    </message>
    <message>
        <location line="+1" />
        <source>decompresses to more than the %1 bytes its header gives</source>
        <translation>descomprime-se em mais que os %1 bytes que o seu cabeçalho indica</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the compressed data end before the block does</source>
        <translation>os dados comprimidos terminam antes do bloco</translation>
    </message>
    <message>
        <location line="+1" />
        <source>damaged compressed data (%1)</source>
        <translation>dados comprimidos danificados (%1)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>the map's header is not well-formed XML: %1</source>
        <translation>o cabeçalho do mapa é XML malformado: %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the map's header has no TRTSpectrumDatabase</source>
        <translation>o cabeçalho do mapa não tem TRTSpectrumDatabase</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the map's header has no %1 spectrum, which gives the channels and calibration</source>
        <translation>o cabeçalho do mapa não tem o espectro %1, que dá os canais e a calibração</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the map's sum spectrum: %1</source>
        <translation>o espectro soma do mapa: %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a bcf file without an EDS map (no EDSDatabase/HeaderData)</source>
        <translation>um arquivo bcf sem mapa EDS (sem EDSDatabase/HeaderData)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a bcf file without an EDS map (no EDSDatabase/SpectrumData)</source>
        <translation>um arquivo bcf sem mapa EDS (sem EDSDatabase/SpectrumData)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the map's data header: %1</source>
        <translation>o cabeçalho dos dados do mapa: %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the map's data give a size of %1 × %2 pixels</source>
        <translation>os dados do mapa dão um tamanho de %1 × %2 pixels</translation>
    </message>
    <message>
        <location line="+1" />
        <source>row %1: %2</source>
        <translation>linha %1 da imagem: %2</translation>
    </message>
    <message>
        <location line="+1" />
        <source>row %1 holds %2 pixel records, more than its %3 pixels</source>
        <translation>a linha %1 da imagem contém %2 registros de pixel, mais que os seus %3 pixels</translation>
    </message>
    <message>
        <location line="+1" />
        <source>row %1 has a record for column %2, outside its %3 pixels</source>
        <translation>a linha %1 da imagem tem um registro para a coluna %2, fora dos seus %3 pixels</translation>
    </message>
    <message>
        <location line="+1" />
        <source>row %1 has its pixel records out of order (column %2 after %3)</source>
        <translation>a linha %1 da imagem tem os seus registros de pixel fora de ordem (coluna %2 depois de %3)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>pixel %1, %2: %3</source>
        <translation>no pixel %1, %2: %3</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a record of %1 bytes (at most %2 are read)</source>
        <translation>um registro de %1 bytes (são lidos no máximo %2)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1 pulses of 16 bits in %2 bytes</source>
        <translation>%1 pulsos de 16 bits em %2 bytes</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1 pulses of 12 bits in %2 bytes</source>
        <translation>%1 pulsos de 12 bits em %2 bytes</translation>
    </message>
    <message>
        <location line="+1" />
        <source>packed counts in %1 bytes, too few for their trailer</source>
        <translation>contagens compactadas em %1 bytes, poucos demais para o seu final</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1 extra pulses in %2 bytes</source>
        <translation>%1 pulsos extras em %2 bytes</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the map's data end early, within a pixel record (cut short?)</source>
        <translation>os dados do mapa terminam cedo, dentro de um registro de pixel (truncado?)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a packed group is cut short</source>
        <translation>um grupo compactado está truncado</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a packed group of width %1 (1, 2, 4 or 8 are known)</source>
        <translation>um grupo compactado de largura %1 (conhecem-se 1, 2, 4 ou 8)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a packed group runs past the record's data</source>
        <translation>um grupo compactado passa do fim dos dados do registro</translation>
    </message>
    <message>
        <location line="+2" />
        <source>a .rpl header of %1 bytes; at most %2 are read</source>
        <translation>um cabeçalho .rpl de %1 bytes; são lidos no máximo %2</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a ripple header without its data: no %1.raw beside it</source>
        <translation>um cabeçalho ripple sem os seus dados: nenhum %1.raw ao lado dele</translation>
    </message>
    <message>
        <location line="+1" />
        <source>its .raw file: %1</source>
        <translation>o seu arquivo .raw: %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>a raw file without its ripple header: no %1.rpl beside it</source>
        <translation>um arquivo raw sem o seu cabeçalho ripple: nenhum %1.rpl ao lado dele</translation>
    </message>
    <message>
        <location line="+1" />
        <source>its .rpl header: %1</source>
        <translation>o seu cabeçalho .rpl: %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>not a spectrum image (a Bruker bcf, or a ripple .rpl with its .raw)</source>
        <translation>não é uma imagem espectral (um bcf da Bruker, ou um ripple .rpl com o seu .raw)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the .rpl header has no %1</source>
        <translation>o cabeçalho .rpl não tem %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the .rpl header's %1 %2 is not a whole number</source>
        <translation>o %1 %2 do cabeçalho .rpl não é um número inteiro</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the .rpl header's %1 is %2, not %3, %4 or %5</source>
        <translation>o %1 do cabeçalho .rpl é %2, não %3, %4 ou %5</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the .raw file: %1</source>
        <translation>o arquivo .raw: %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>binary data, not a .rpl header</source>
        <translation>dados binários, não um cabeçalho .rpl</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the .rpl header describes %1</source>
        <translation>o cabeçalho .rpl descreve %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the .rpl header has no data-type</source>
        <translation>o cabeçalho .rpl não tem data-type</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the .rpl header's data-length is %1, not 1, 2, 4 or 8</source>
        <translation>o data-length do cabeçalho .rpl é %1, não 1, 2, 4 ou 8</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the .rpl header gives floats of %1 bytes; they take 4 or 8</source>
        <translation>o cabeçalho .rpl indica números de ponto flutuante de %1 bytes; eles ocupam 4 ou 8</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the .rpl header has no byte-order, which numbers of %1 bytes need</source>
        <translation>o cabeçalho .rpl não tem byte-order, de que números de %1 bytes precisam</translation>
    </message>
    <message>
        <location line="+2" />
        <source>the .rpl header's record-by is dont-care, which only a depth of 1 allows (depth is %1)</source>
        <translation>o record-by do cabeçalho .rpl é dont-care, o que só uma profundidade de 1 permite (a profundidade é %1)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>the .rpl header has no record-by, which a depth above 1 needs</source>
        <translation>o cabeçalho .rpl não tem record-by, de que uma profundidade acima de 1 precisa</translation>
    </message>
    <message>
        <location line="+2" />
        <source>the .raw file holds %1 bytes; the .rpl header describes %2 (an offset of %3 and %4 × %5 pixels × %6 channels of %7 bytes)</source>
        <translation>o arquivo .raw contém %1 bytes; o cabeçalho .rpl descreve %2 (um deslocamento de %3 e %4 × %5 pixels × %6 canais de %7 bytes)</translation>
    </message>
    <message>
        <location line="+36" />
        <source>%1 (line %2)</source>
        <translation>%1 (linha %2)</translation>
    </message>
</context>
<context>
    <name>identifylabels</name>
    <message>
        <location filename="../spectrumwindow/identifylabels.cpp" line="+53" />
        <source>Rayleigh</source>
        <translation>Rayleigh</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Compton</source>
        <translation>Compton</translation>
    </message>
    <message>
        <location line="+8" />
        <source>%1 esc (detector)</source>
        <translation>%1 esc (detector)</translation>
    </message>
    <message>
        <location line="+0" />
        <source>%1 (detector)</source>
        <translation>%1 (detector)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1 scattered, esc</source>
        <translation>%1 espalhada, esc</translation>
    </message>
    <message>
        <location line="+0" />
        <source>%1 scattered</source>
        <translation>%1 espalhada</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1 Compton, esc</source>
        <translation>%1 Compton, esc</translation>
    </message>
    <message>
        <location line="+0" />
        <source>%1 Compton</source>
        <translation>%1 Compton</translation>
    </message>
</context>
<context>
    <name>plotexport</name>
    <message>
        <location filename="../spectrumwindow/plotexport.cpp" line="+48" />
        <source>cannot draw the SVG file</source>
        <translation>não foi possível desenhar o arquivo SVG</translation>
    </message>
</context>
<context>
    <name>spectrumfiles</name>
    <message>
        <location filename="../spectrumwindow/spectrumfiles.cpp" line="+128" />
        <source>Spectra (%1)</source>
        <translation>Espectros (%1)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>EMSA/MSA (*.msa *.emsa)</source>
        <translation>EMSA/MSA (*.msa *.emsa)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Bruker (*.spx)</source>
        <translation>Bruker (*.spx)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Text: energy and counts, or counts (*.txt *.csv *.dat)</source>
        <translation>Texto: energia e contagens, ou contagens (*.txt *.csv *.dat)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Multichannel analyser counts (*.spe *.mca)</source>
        <translation>Contagens de analisador multicanal (*.spe *.mca)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>All files (*)</source>
        <translation>Todos os arquivos (*)</translation>
    </message>
</context>
</TS>
